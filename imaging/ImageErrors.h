#pragma once

#include <stdexcept>

namespace kestrava {

// A picture file that cannot be read: missing, unreadable, truncated or malformed. Each reader
// throws its own subclass with a message that says what is wrong.
class EImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EBmpError : public EImageError {
 public:
  using EImageError::EImageError;
};

class EJpegError : public EImageError {
 public:
  using EImageError::EImageError;
};

class EPngError : public EImageError {
 public:
  using EImageError::EImageError;
};

// The picture loader was given a file it has no reader for.
class EPictureError : public EImageError {
 public:
  using EImageError::EImageError;
};

}  // namespace kestrava

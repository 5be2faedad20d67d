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

// What a reader does with a file whose data is damaged or ends early: a preview shows what is
// there; the saver build refuses the file, naming the damage.
enum class TDamage { Show, Refuse };

// The picture loader was given a file it has no reader for.
class EPictureError : public EImageError {
 public:
  using EImageError::EImageError;
};

}  // namespace kestrava

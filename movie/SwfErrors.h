#pragma once

#include <stdexcept>

namespace kestrava {

// A movie that cannot be read or played; the message says why.
class ESwfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kestrava

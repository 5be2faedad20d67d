#pragma once

#include "imaging/ImageErrors.h"

namespace kestrava {

// Every failure of the GIF reader; the message is the one a user of the picture sees.
class EGifError : public EImageError {
 public:
  using EImageError::EImageError;
};

}  // namespace kestrava

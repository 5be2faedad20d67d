#include "runtime/core/SaverDescription.h"

namespace kestrava {

std::string HoldsSentence(bool flash, size_t shown, size_t music) {
  const char* one = flash ? "Flash movie" : "picture";
  const char* many = flash ? "Flash movies" : "pictures";
  return "This saver shows " + std::to_string(shown) + " " + (shown == 1 ? one : many) +
         (music ? " with music." : ".");
}

std::string SaverDescription(const TSaverFileReader& saver) {
  const bool flash = saver.Trailer().Kind == TSaverKind::Flash;
  size_t shown = 0, music = 0;
  for (const TSaverBlock& block : saver.Blocks()) {
    if (block.Kind == (flash ? TBlockKind::Movie : TBlockKind::Picture)) ++shown;
    if (block.Kind == TBlockKind::Music) ++music;
  }
  return HoldsSentence(flash, shown, music) + "\nIt has no options.";
}

}  // namespace kestrava

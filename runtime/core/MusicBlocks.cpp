#include "runtime/core/MusicBlocks.h"

namespace kestrava {

std::vector<TMusicBlock> MusicOf(const TSaverFileReader& saver) {
  std::vector<TMusicBlock> music;
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Music) music.push_back({saver.ReadBlock(block), block.MusicType});
  return music;
}

}  // namespace kestrava

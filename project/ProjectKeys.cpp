#include "project/ProjectKeys.h"

namespace kestrava::project {

std::string IndexedKey(const TProjectKey& key, size_t index) {
  return std::string(key.Key) + std::to_string(index);
}

}  // namespace kestrava::project

#include "saver/embedded/EmbeddedRuntime.h"

#include <cstdint>

extern "C" {
extern const uint8_t kestrava_embedded_runtime_begin[];
extern const uint8_t kestrava_embedded_runtime_end[];
}

namespace kestrava {

std::span<const TResource> ProgramResources() {
  static const TResource resources[] = {
      {"EXEFILE", "HEAD",
       std::span<const uint8_t>(
           kestrava_embedded_runtime_begin,
           size_t(kestrava_embedded_runtime_end - kestrava_embedded_runtime_begin))},
  };
  return resources;
}

}  // namespace kestrava

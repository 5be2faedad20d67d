#include "saver/embedded/EmbeddedRuntime.h"

#include <cstdint>

#include "saver/BuildCommand.h"

extern "C" {
extern const uint8_t kestrava_embedded_runtime_begin[];
extern const uint8_t kestrava_embedded_runtime_end[];
#ifdef KESTRAVA_EMBEDS_WINDOWS_RUNTIME
extern const uint8_t kestrava_embedded_windows_runtime_begin[];
extern const uint8_t kestrava_embedded_windows_runtime_end[];
#endif
}

namespace kestrava {

namespace {

std::span<const uint8_t> BytesBetween(const uint8_t* begin, const uint8_t* end) {
  return {begin, size_t(end - begin)};
}

}  // namespace

std::span<const TResource> ProgramResources() {
  static const TResource resources[] = {
      {kRuntimeType, kLinuxRuntimeName,
       BytesBetween(kestrava_embedded_runtime_begin, kestrava_embedded_runtime_end)},
#ifdef KESTRAVA_EMBEDS_WINDOWS_RUNTIME
      {kRuntimeType, kWindowsRuntimeName,
       BytesBetween(kestrava_embedded_windows_runtime_begin,
                    kestrava_embedded_windows_runtime_end)},
#endif
  };
  return resources;
}

}  // namespace kestrava

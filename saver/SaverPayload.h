#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "saver/SaverFormat.h"

namespace kestrava {

// Thrown by a picture preparer for a source whose ending it does not support.
class EUnsupportedSource : public std::runtime_error {
 public:
  explicit EUnsupportedSource(std::string source = {})
      : std::runtime_error("file not support"), source_(std::move(source)) {}
  const std::string& Source() const { return source_; }

 private:
  std::string source_;
};

// What one build stores, as the wizard holds it when the build starts.
struct TPayloadPlan {
  TSaverKind Kind = TSaverKind::Pictures;
  int QuitMode = kMinQuitMode;
  int IntervalSeconds = 8;
  std::vector<std::filesystem::path> Sources;  // pictures or movies, in list order
  std::vector<std::filesystem::path> Music;    // ignored for the Flash kind
  TEffectFlags EffectFlags{};
};

// Gives the stored JPEG of source i; called once per source, in list order. May throw:
// EUnsupportedSource for an unsupported ending, anything else for a source that cannot be used.
class IPreparedPictures {
 public:
  virtual ~IPreparedPictures() = default;
  virtual std::vector<uint8_t> Prepared(size_t index) = 0;
};

enum class TPayloadStatus { Written, UnsupportedPicture, Failed };

struct TPayloadResult {
  TPayloadStatus Status = TPayloadStatus::Failed;
  std::string Reason;  // what went wrong, for logs and tests; empty when written
};

// Appends the payload (music, then pictures or movies, then the trailer) to the saver file,
// which must exist and hold the runtime program. Never truncates it; the saver file is closed on
// return, whatever the result. A plan the trailer cannot describe (counts beyond its limits, a
// quit mode outside 1..5, no source) fails before anything is written; a failure later leaves
// what was appended so far, for the caller to delete the file. An empty block or one of 2 GiB
// or more fails as well, so that every file written reads back.
TPayloadResult WritePayload(const TPayloadPlan& plan, const std::filesystem::path& saverFile,
                            IPreparedPictures& pictures);

}  // namespace kestrava

#include "saver/SaverPayload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "saver/SaverFileIo.h"

namespace kestrava {

namespace {

namespace fs = std::filesystem;

// Music and movies of any size pass through a buffer of this size.
constexpr size_t kChunkSize = size_t{1} << 16;

// Any failure on the way; WritePayload turns it into its result.
class EPayloadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The saver file, every write going to its current end.
class TAppender {
 public:
  explicit TAppender(const fs::path& path)
      : path_(path), fd_(OpenWithoutWaiting(path, O_WRONLY | O_APPEND)) {
    if (fd_.Get() < 0) throw EPayloadError(SystemError("Cannot open file", path_, errno));
  }

  void Append(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_.Get(), bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      // A device taking nothing would otherwise be asked forever.
      if (written <= 0)
        throw EPayloadError(SystemError("Cannot write file", path_, written < 0 ? errno : EIO));
      bytes = bytes.subspan(size_t(written));
    }
  }

  void Close() {
    if (!fd_.Close()) throw EPayloadError(SystemError("Cannot write file", path_, errno));
  }

 private:
  fs::path path_;
  TFileDescriptor fd_;
};

EPayloadError TooLarge(const fs::path& source) {
  return EPayloadError(source.string() + " is 2 GiB or larger");
}

int32_t CheckedBlockSize(int64_t size, const fs::path& source) {
  if (size == 0) throw EPayloadError(source.string() + " gives an empty block");
  if (size > kMaxBlockSize) throw TooLarge(source);
  return int32_t(size);
}

// Copies a whole file to the end of the saver file and gives the number of bytes copied, which
// is what the size table records even if the file changed since it was listed.
int32_t AppendFile(TAppender& out, const fs::path& source) {
  const TFileDescriptor in = OpenWithoutWaiting(source, O_RDONLY);
  if (in.Get() < 0) throw EPayloadError(SystemError("Cannot open file", source, errno));
  struct stat status {};
  if (::fstat(in.Get(), &status) != 0)
    throw EPayloadError(SystemError("Cannot read file", source, errno));
  if (!S_ISREG(status.st_mode)) throw EPayloadError(source.string() + " is not a regular file");
  if (status.st_size > kMaxBlockSize) throw TooLarge(source);
  std::vector<uint8_t> chunk(kChunkSize);
  int64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(in.Get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EPayloadError(SystemError("Cannot read file", source, errno));
    }
    if (got == 0) break;
    total += got;
    CheckedBlockSize(total, source);
    out.Append(std::span(chunk.data(), size_t(got)));
  }
  return CheckedBlockSize(total, source);
}

void CheckPlan(const TPayloadPlan& plan) {
  if (plan.Sources.empty()) throw EPayloadError("no source to store");
  if (plan.QuitMode < kMinQuitMode || plan.QuitMode > kMaxQuitMode)
    throw EPayloadError("quit mode " + std::to_string(plan.QuitMode) + " is not within 1..5");
  const size_t music = plan.Kind == TSaverKind::Pictures ? plan.Music.size() : 0;
  if (!TrailerFits(plan.Kind, plan.Sources.size(), music))
    throw EPayloadError(std::to_string(plan.Sources.size()) + " sources and " +
                        std::to_string(music) +
                        " music files do not fit the saver file's trailer (100 entries in all, "
                        "at most 58 music files)");
}

}  // namespace

TPayloadResult WritePayload(const TPayloadPlan& plan, const fs::path& saverFile,
                            IPreparedPictures& pictures) {
  try {
    CheckPlan(plan);
    TSaverTrailer trailer;
    trailer.Kind = plan.Kind;
    trailer.QuitMode = plan.QuitMode;
    TAppender out(saverFile);
    if (plan.Kind == TSaverKind::Pictures) {
      trailer.IntervalSeconds = plan.IntervalSeconds;
      trailer.EffectFlags = plan.EffectFlags;
      for (const fs::path& music : plan.Music) {
        trailer.MusicTypes.push_back(MusicTypeCode(music));
        trailer.MusicSizes.push_back(AppendFile(out, music));
      }
      for (size_t i = 0; i < plan.Sources.size(); ++i) {
        const std::vector<uint8_t> jpeg = pictures.Prepared(i);
        trailer.SourceSizes.push_back(CheckedBlockSize(int64_t(jpeg.size()), plan.Sources[i]));
        out.Append(jpeg);
      }
    } else {
      for (const fs::path& movie : plan.Sources)
        trailer.SourceSizes.push_back(AppendFile(out, movie));
    }
    out.Append(LayOutTrailer(trailer));
    out.Close();
    return {TPayloadStatus::Written, {}};
  } catch (const EUnsupportedSource& e) {
    return {TPayloadStatus::UnsupportedPicture, e.Source().empty() ? e.what() : e.Source()};
  } catch (const std::exception& e) {
    return {TPayloadStatus::Failed, e.what()};
  }
}

}  // namespace kestrava

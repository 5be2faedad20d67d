#include "saver/PreparePicture.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include "imaging/BmpReader.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/JpegRows.h"
#include "saver/PrepareRows.h"

namespace kestrava {

namespace {

// The JPEG reader as the preparation's row source; CMYK rows come out as RGB like any other.
class TJpegRows : public TRowSource {
 public:
  TJpegRows(std::span<const uint8_t> bytes, int64_t maxPixels) : reader_(bytes, maxPixels) {}
  int Width() const override { return reader_.Width(); }
  int Height() const override { return reader_.Height(); }
  bool Progressive() const { return reader_.Progressive(); }
  const uint8_t* NextRow() override { return reader_.NextRow(); }

 private:
  TJpegRowReader reader_;
};

std::vector<uint8_t> PrepareJpeg(std::span<const uint8_t> bytes, TScreenSize screen,
                                 const TPictureMask* mask, int64_t maxPixels) {
  TJpegRows rows(bytes, maxPixels);
  return EncodeOnScreen(rows, screen, mask, rows.Progressive());
}

std::vector<uint8_t> PrepareBmp(std::span<const uint8_t> bytes, TScreenSize screen,
                                const TPictureMask* mask) {
  const TBitmap decoded = ReadBmp(bytes);
  TBitmapRows rows(decoded);
  return EncodeOnScreen(rows, screen, mask, false);
}

std::vector<uint8_t> PrepareGif(std::span<const uint8_t> bytes, TScreenSize screen,
                                const TPictureMask* mask, int64_t maxPixels) {
  TGifStream stream(bytes);
  TGifPicture gif;
  // A limit below the ordinary one (a fuzzer's) bounds the frames together too.
  if (maxPixels < TBitmap::kMaxPixels) gif.SetPixelLimit(size_t(maxPixels));
  gif.LoadFromStream(stream);
  if (int64_t{gif.Width()} * gif.Height() > maxPixels)
    throw EImageError("GIF picture " + std::to_string(gif.Width()) + " x " +
                      std::to_string(gif.Height()) + " is too large");
  // An empty GIF has no image: the screen stays black.
  const TBitmap* first = gif.Bitmap();
  const TBitmap none;
  TBitmapRows rows(first ? *first : none);
  return EncodeOnScreen(rows, screen, mask, false);
}

// A bitmap beyond TBitmap's limits is the file's fault here: callers see an EImageError.
std::vector<uint8_t> Prepare(TPictureKind kind, std::span<const uint8_t> bytes, TScreenSize screen,
                             const TPictureMask* mask, int64_t maxPixels) {
  CheckScreenSize(screen);
  try {
    switch (kind) {
      case TPictureKind::Bmp:
        return PrepareBmp(bytes, screen, mask);
      case TPictureKind::Jpeg:
        return PrepareJpeg(bytes, screen, mask, maxPixels);
      case TPictureKind::Gif:
        return PrepareGif(bytes, screen, mask, maxPixels);
    }
  } catch (const EBitmapError& error) {
    throw EImageError(error.what());
  }
  throw std::invalid_argument("Unknown picture kind");
}

}  // namespace

std::optional<TPictureKind> PictureKindOf(const std::filesystem::path& source) {
  const std::string& name = source.native();
  if (name.size() < 4) return std::nullopt;
  std::string ending = name.substr(name.size() - 4);
  // ASCII only: a locale must not change which names are accepted.
  for (char& c : ending)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  if (ending == ".bmp") return TPictureKind::Bmp;
  if (ending == ".jpg" || ending == "jpeg") return TPictureKind::Jpeg;
  if (ending == ".gif") return TPictureKind::Gif;
  return std::nullopt;
}

bool IsSupportedPictureName(const std::filesystem::path& source) {
  return PictureKindOf(source).has_value();
}

std::vector<uint8_t> PreparePicture(const std::filesystem::path& source, TScreenSize screen,
                                    const TPictureMask* mask) {
  const std::optional<TPictureKind> kind = PictureKindOf(source);
  if (!kind) throw EUnsupportedPicture();
  CheckScreenSize(screen);
  // ReadFileBytes takes a folder's size as a file's and fails to allocate it.
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(source, error);
  if (!regular)
    throw EImageError("Cannot open file " + source.string() + ": " +
                      (error ? error.message() : std::string("not a file")));
  return Prepare(*kind, ReadFileBytes(source), screen, mask, TBitmap::kMaxPixels);
}

std::vector<uint8_t> PreparePictureBytes(TPictureKind kind, std::span<const uint8_t> bytes,
                                         TScreenSize screen, const TPictureMask* mask,
                                         int64_t maxPixels) {
  return Prepare(kind, bytes, screen, mask, maxPixels);
}

}  // namespace kestrava

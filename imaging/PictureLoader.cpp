#include "imaging/PictureLoader.h"

#include <string>
#include <string_view>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/ExifOrientation.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/Orientation.h"

namespace kestrava {

namespace {

using TReader = TBitmap (*)(const std::filesystem::path&);

// Upright, as the camera's orientation tag says.
TBitmap ReadJpegPicture(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return Oriented(DecodeJpeg(bytes).Bitmap, ReadExifOrientation(bytes));
}

// The first frame on the logical screen; a GIF without frames gives an empty picture.
TBitmap ReadGifPicture(const std::filesystem::path& path) {
  TGifPicture picture;
  picture.LoadFromFile(path);
  const TBitmap* bitmap = picture.Bitmap();
  return bitmap ? *bitmap : TBitmap();
}

struct TPictureKind {
  std::string_view Extension;  // lower case, without the dot
  TReader Read;                // nullptr: known, but not readable yet
};

constexpr TPictureKind kPictureKinds[] = {
    {"bmp", ReadBmpFile},
    {"jpg", ReadJpegPicture},
    {"jpeg", ReadJpegPicture},
    {"gif", ReadGifPicture},
};

// Extensions are compared in ASCII only: a locale must not change which reader a file gets.
std::string ChangeCase(std::string text, bool upper) {
  for (char& c : text) {
    if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

TBitmap LoadPicture(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  const std::string lower = ChangeCase(extension, false);
  for (const TPictureKind& kind : kPictureKinds) {
    if (kind.Extension != lower) continue;
    if (!kind.Read) throw EPictureError(ChangeCase(lower, true) + " pictures cannot be read yet");
    return kind.Read(path);
  }
  throw EPictureError("Unknown picture file extension (." + extension + ")");
}

}  // namespace kestrava

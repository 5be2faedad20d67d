#include "imaging/PictureLoader.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/BmpReader.h"
#include "imaging/ExifOrientation.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/Heif.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "imaging/Orientation.h"
#include "imaging/PictureContent.h"
#include "imaging/Png.h"
#include "imaging/Webp.h"

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

// Pictures that may be transparent: shown as the saver shows them, over black.
template <TBitmap (*Read)(std::span<const uint8_t>, int64_t, const TBeforeDecode&)>
TBitmap ReadOverBlack(const std::filesystem::path& path) {
  TBitmap bitmap = Read(ReadFileBytes(path), TBitmap::kMaxPixels, {});
  CompositeOverBlack(bitmap);
  return bitmap;
}

struct TPictureKind {
  std::string_view Extension;  // lower case, without the dot
  TPictureContent Content;
};

constexpr TPictureKind kPictureKinds[] = {
    {"bmp", TPictureContent::Bmp},   {"jpg", TPictureContent::Jpeg},
    {"jpeg", TPictureContent::Jpeg}, {"gif", TPictureContent::Gif},
    {"png", TPictureContent::Png},   {"webp", TPictureContent::Webp},
    {"heic", TPictureContent::Heif}, {"heif", TPictureContent::Heif},
};

TReader ReaderOf(TPictureContent content) {
  switch (content) {
    case TPictureContent::Bmp:
      return ReadBmpFile;
    case TPictureContent::Jpeg:
      return ReadJpegPicture;
    case TPictureContent::Gif:
      return ReadGifPicture;
    case TPictureContent::Png:
      return ReadOverBlack<ReadPng>;
    case TPictureContent::Webp:
      return ReadOverBlack<ReadWebp>;
    case TPictureContent::Heif:
      return ReadOverBlack<ReadHeif>;
    case TPictureContent::Unknown:
      break;
  }
  return nullptr;
}

// Enough of the file to tell its kind; none when it cannot be read (its reader then says why).
std::vector<uint8_t> FileHead(const std::filesystem::path& path) {
  std::vector<uint8_t> head(64);
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
  head.resize(file ? head.size() : size_t(std::max<std::streamsize>(file.gcount(), 0)));
  return head;
}

// Extensions are compared in ASCII only: a locale must not change which reader a file gets.
std::string ChangeCase(std::string text, bool upper) {
  for (char& c : text) {
    if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

TPictureContent PictureReaderOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  const std::string lower = ChangeCase(extension, false);
  for (const TPictureKind& kind : kPictureKinds)
    if (kind.Extension == lower) return ReaderFor(FileHead(path), kind.Content, path.string());
  throw EPictureError("Unknown picture file extension (." + extension + ")");
}

TBitmap LoadPicture(const std::filesystem::path& path) {
  return ReaderOf(PictureReaderOf(path))(path);
}

}  // namespace kestrava

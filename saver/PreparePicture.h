#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "imaging/JpegRows.h"
#include "raster/Bitmap.h"
#include "saver/FitToScreen.h"
#include "saver/PictureMask.h"

namespace kestrava {

// A source whose name does not end in a picture kind the saver can store.
class EUnsupportedPicture : public std::runtime_error {
 public:
  EUnsupportedPicture() : std::runtime_error("file not support") {}
};

enum class TPictureKind { Bmp, Jpeg, Gif, Png, Webp, Heif };

// The kind named by the last four characters of the path, ASCII letters in any case: ".bmp",
// ".jpg", "jpeg" (with or without a dot before it), ".gif", ".png", "webp", "heic" and "heif".
std::optional<TPictureKind> PictureKindOf(const std::filesystem::path& source);
bool IsSupportedPictureName(const std::filesystem::path& source);

// One source turned into the JPEG the saver stores: decoded by the reader its first bytes call
// for, whatever its name (a BMP in its own layout, a JPEG with the float inverse DCT and turned
// upright as its EXIF orientation says, a GIF's first image on its logical screen, a PNG, WebP or
// HEIF picture over black), placed onto a black picture of screen size as the fit says (by default
// shrunk only, by dropping pixels), darkened through the mask if one is given, and encoded at
// quality 80 with the float DCT, progressive exactly when the source is a progressive JPEG, its
// colour halved unless asked for in full (a Windows saver's pictures: see TJpegChroma).
// Throws EUnsupportedPicture for a name of another kind and EImageError (or a subclass) for a file
// that cannot be read or decoded or is recognisably no picture; std::invalid_argument for a screen
// no bitmap can have. Safe to call on several threads at once, sharing one mask.
std::vector<uint8_t> PreparePicture(const std::filesystem::path& source, TScreenSize screen,
                                    const TPictureMask* mask,
                                    TJpegChroma chroma = TJpegChroma::Halved, TPictureFit fit = {});

// The same for a source already in memory, kind being what its name says. Pictures other than BMP
// of more than maxPixels are refused with EImageError, so that a fuzzer can keep every run small.
std::vector<uint8_t> PreparePictureBytes(TPictureKind kind, std::span<const uint8_t> bytes,
                                         TScreenSize screen, const TPictureMask* mask,
                                         int64_t maxPixels = TBitmap::kMaxPixels,
                                         TPictureFit fit = {});

}  // namespace kestrava

#include "imaging/Heif.h"

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <string>

namespace kestrava {

namespace {

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok)
    throw EHeifError(std::string("Cannot read the HEIF picture: ") +
                     (error.message ? error.message : "unknown error"));
}

struct TContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct THandleFree {
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct TImageFree {
  void operator()(heif_image* image) const { heif_image_release(image); }
};

}  // namespace

TBitmap ReadHeif(std::span<const uint8_t> bytes, int64_t maxPixels,
                 const TBeforeDecode& beforeDecode) {
  const std::unique_ptr<heif_context, TContextFree> context(heif_context_alloc());
  if (!context) throw EHeifError("Cannot read the HEIF picture: out of memory");
  // Also bounds the tiles and grids libheif assembles before we see the size.
  heif_context_set_maximum_image_size_limit(context.get(), TBitmap::kMaxDimension);
  Check(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(),
                                                   nullptr));
  heif_image_handle* rawHandle = nullptr;
  Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
  const std::unique_ptr<heif_image_handle, THandleFree> handle(rawHandle);
  CheckPictureSize("HEIF", heif_image_handle_get_width(handle.get()),
                   heif_image_handle_get_height(handle.get()), maxPixels);
  if (beforeDecode)
    beforeDecode(heif_image_handle_get_width(handle.get()),
                 heif_image_handle_get_height(handle.get()));
  heif_image* rawImage = nullptr;
  Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          heif_chroma_interleaved_RGBA, nullptr));
  const std::unique_ptr<heif_image, TImageFree> image(rawImage);
  const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
  const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
  CheckPictureSize("HEIF", width, height, maxPixels);
  int stride = 0;
  const uint8_t* rows =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!rows || stride < width * 4) throw EHeifError("Cannot read the HEIF picture: no pixels");
  TBitmap bitmap(width, height, TPixelFormat::pf32bit);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = rows + size_t(y) * size_t(stride);
    uint8_t* out = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
  return bitmap;
}

}  // namespace kestrava

#include "runtime/core/MovieCard.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

namespace kestrava {

TBitmap DrawTextCard(const std::string& text, int width, int height) {
  TBitmap card(width, height, TPixelFormat::pfDevice);
  // Cairo's RGB24 is blue, green, red, unused in memory on little-endian machines: the device
  // format, so cairo draws straight into the bitmap's rows.
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
  std::vector<uint8_t> pixels(size_t(stride) * size_t(height), 0);
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_RGB24, width, height, stride);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  const double size = std::max(10.0, height / 24.0);
  cairo_set_font_size(cr, size);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  double y = height / 2.0 - (double(lines.size()) - 1) * size * 0.75;
  for (const std::string& line : lines) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, line.c_str(), &extents);
    cairo_move_to(cr, (width - extents.x_advance) / 2.0, y);
    cairo_show_text(cr, line.c_str());
    y += size * 1.5;
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  const size_t rowBytes = size_t(width) * 4;
  for (int row = 0; row < height; ++row)
    std::memcpy(card.ScanLine(row), pixels.data() + size_t(row) * size_t(stride), rowBytes);
  return card;
}

}  // namespace kestrava

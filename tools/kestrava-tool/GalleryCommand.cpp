// `kestrava-tool gallery [--size WxH] [--styles A-B] [--step S] OUT.png`: a contact sheet of the
// effects, one row per style with its number and name, frames at five points of the transition.
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "imaging/Png.h"
#include "raster/Canvas.h"
#include "tools/kestrava-tool/Arguments.h"
#include "tools/kestrava-tool/Commands.h"
#include "tools/kestrava-tool/TestPictures.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava::tool {

namespace {

constexpr int kProgress[] = {10, 25, 50, 75, 90};
constexpr int kGap = 8;
constexpr int kMinLabelWidth = 330;
constexpr double kFontSize = 13;
constexpr int kHeaderHeight = 26;

// Text on the sheet through cairo, which draws straight into the sheet's 32-bit rows.
class TLabeller {
 public:
  explicit TLabeller(TBitmap& sheet)
      : surface_(
            cairo_image_surface_create_for_data(sheet.ScanLine(0), CAIRO_FORMAT_RGB24,
                                                sheet.Width(), sheet.Height(), int(sheet.Stride())),
            cairo_surface_destroy),
        cairo_(cairo_create(surface_.get()), cairo_destroy) {
    cairo_select_font_face(cairo_.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo_.get(), kFontSize);
  }
  ~TLabeller() { cairo_surface_flush(surface_.get()); }

  double Width(const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cairo_.get(), text.c_str(), &extents);
    return extents.x_advance;
  }

  void Text(double x, double y, const std::string& text, double grey) {
    cairo_set_source_rgb(cairo_.get(), grey, grey, grey);
    cairo_move_to(cairo_.get(), x, y);
    cairo_show_text(cairo_.get(), text.c_str());
  }

 private:
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface_;
  std::unique_ptr<cairo_t, void (*)(cairo_t*)> cairo_;
};

// The label column: wide enough for the longest "number  name" of the styles shown.
int LabelWidth(int first, int last) {
  TBitmap scratch(1, 1);
  TLabeller measure(scratch);
  double widest = 0;
  for (int style = first; style <= last; ++style)
    widest = std::max(widest, measure.Width(std::to_string(style) + "  " +
                                            std::string(StyleNameOf(TTransitionStyle(style)))));
  return std::max(kMinLabelWidth, int(widest) + 24);
}

}  // namespace

int RunGallery(const std::vector<std::string>& args) {
  int first = 1, last = kMaxTransitionStyle, w = 160, h = 120;
  uint16_t step = 4;
  std::string out;
  try {
    const TArguments a(args, {"size", "styles", "step"});
    if (a.Positional().size() != 1) throw EUsage("gallery needs one OUT.png");
    out = a.Positional()[0];
    if (a.Option("size")) std::tie(w, h) = ParseSize(*a.Option("size"));
    if (a.Option("styles")) std::tie(first, last) = ParseRange(*a.Option("styles"));
    if (first < 1 || last > kMaxTransitionStyle || first > last)
      throw EUsage("--styles must lie within 1-150");
    step = uint16_t(a.Number("step", 4, 1, 100));
  } catch (const EUsage& e) {
    std::fprintf(stderr,
                 "kestrava-tool gallery: %s\nusage: kestrava-tool gallery [--size WxH] "
                 "[--styles A-B] [--step S] OUT.png\n",
                 e.what());
    return 2;
  }
  try {
    const int rows = last - first + 1, columns = int(std::size(kProgress));
    const int labelWidth = LabelWidth(first, last);
    TBitmap sheet(labelWidth + columns * (w + kGap) + kGap,
                  kHeaderHeight + rows * (h + kGap) + kGap);
    sheet.Canvas().Brush.Color = RGBColor(245, 245, 240);
    sheet.Canvas().FillRect({0, 0, sheet.Width(), sheet.Height()});
    const TBitmap old = OldTestPicture(w, h), picture = NewTestPicture(w, h);
    TBitmap frame;
    for (int row = 0; row < rows; ++row) {
      const auto style = TTransitionStyle(first + row);
      for (int column = 0; column < columns; ++column) {
        MakeTransitionFrame(style, old, picture, step, kProgress[column], frame);
        sheet.Canvas().Draw(labelWidth + column * (w + kGap), kHeaderHeight + row * (h + kGap),
                            frame);
      }
    }
    {
      TLabeller labels(sheet);
      for (int column = 0; column < columns; ++column)
        labels.Text(labelWidth + column * (w + kGap) + w / 2 - 14, 18,
                    std::to_string(kProgress[column]) + " %", 0.2);
      for (int row = 0; row < rows; ++row) {
        const auto style = TTransitionStyle(first + row);
        const double y = kHeaderHeight + row * (h + kGap) + h / 2.0;
        labels.Text(10, y, std::to_string(style) + "  " + std::string(StyleNameOf(style)), 0.0);
        if (!IsStyleImplemented(style)) labels.Text(10, y + 18, "not drawn yet", 0.55);
      }
    }
    WritePngFile(out, sheet);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrava::tool

#include "movie/render/TextPainter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "movie/render/CairoMatrix.h"
#include "movie/render/RenderLimits.h"

namespace kestrava::render {

namespace {

constexpr double kGutter = 40;  // twips between a field's bounds and its text
constexpr const char* kFallbackFamily = "DejaVu Sans";

bool SetTextColor(cairo_t* cr, const TSwfRgba& color, const TPaintState& state) {
  if (state.MaskMode) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    return true;
  }
  const TSwfRgba c = state.Transform.Apply(color);
  if (c.A == 0) return false;
  cairo_set_source_rgba(cr, c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
  return true;
}

// Loosely decoded: whatever cannot stand in UTF-8 (surrogates, values past U+10FFFF) becomes
// U+FFFD, because cairo stops drawing altogether after text that is not valid UTF-8.
std::vector<uint32_t> CodePoints(const std::string& utf8) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
    ++i;
    for (; extra > 0 && i < utf8.size(); --extra, ++i)
      code = code << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF || (code >= 0x80 && c < 0xC0))
      code = 0xFFFD;
    out.push_back(code);
  }
  return out;
}

std::string Utf8Of(const std::vector<uint32_t>& codes) {
  std::string out;
  for (uint32_t c : codes) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | c >> 6);
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | c >> 12);
      out += char(0x80 | (c >> 6 & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | c >> 18);
      out += char(0x80 | (c >> 12 & 0x3F));
      out += char(0x80 | (c >> 6 & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Measures and draws lines of a field in one font; the user space is the field's twips.
class TLineFont {
 public:
  virtual ~TLineFont() = default;
  virtual double Ascent() const = 0;
  virtual double Descent() const = 0;
  virtual double Width(const std::vector<uint32_t>& line) const = 0;
  virtual void Draw(const std::vector<uint32_t>& line, double x, double baseline) const = 0;
};

class TFallbackFont : public TLineFont {
 public:
  TFallbackFont(cairo_t* cr, double height) : cr_(cr) {
    cairo_select_font_face(cr, kFallbackFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, height);
    cairo_font_extents(cr, &extents_);
  }
  double Ascent() const override { return extents_.ascent; }
  double Descent() const override { return extents_.descent; }
  double Width(const std::vector<uint32_t>& line) const override {
    cairo_text_extents_t text;
    cairo_text_extents(cr_, Utf8Of(line).c_str(), &text);
    return text.x_advance;
  }
  void Draw(const std::vector<uint32_t>& line, double x, double baseline) const override {
    cairo_move_to(cr_, x, baseline);
    cairo_show_text(cr_, Utf8Of(line).c_str());
  }

 private:
  cairo_t* cr_;
  cairo_font_extents_t extents_{};
};

class TEmbeddedFont : public TLineFont {
 public:
  TEmbeddedFont(cairo_t* cr, const TFontGlyphs& font, double height, const cairo_matrix_t& matrix)
      : cr_(cr), font_(font), scale_(height / font.EmSquare), matrix_(matrix) {}
  double Ascent() const override { return font_.Ascent * scale_; }
  double Descent() const override { return font_.Descent * scale_; }
  double Width(const std::vector<uint32_t>& line) const override {
    double width = 0;
    for (uint32_t code : line)
      width += Advance(code);
    return width;
  }
  void Draw(const std::vector<uint32_t>& line, double x, double baseline) const override {
    cairo_new_path(cr_);
    for (uint32_t code : line) {
      const int glyph = code <= 0xFFFF ? font_.GlyphOf(uint16_t(code)) : -1;
      if (glyph >= 0 && size_t(glyph) < font_.Glyphs.size()) {
        cairo_matrix_t place;
        cairo_matrix_init(&place, scale_, 0, 0, scale_, x, baseline);
        const cairo_matrix_t m = Compose(matrix_, place);
        if (Usable(m)) {
          cairo_set_matrix(cr_, &m);
          AppendPath(cr_, font_.Glyphs[size_t(glyph)], false);
        }
      }
      x += Advance(code);
    }
    cairo_set_matrix(cr_, &matrix_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
  }

 private:
  double Advance(uint32_t code) const {
    const int glyph = code <= 0xFFFF ? font_.GlyphOf(uint16_t(code)) : -1;
    if (glyph < 0 || size_t(glyph) >= font_.Advances.size()) return font_.EmSquare * scale_ / 2;
    return font_.Advances[size_t(glyph)] * scale_;
  }

  cairo_t* cr_;
  const TFontGlyphs& font_;
  double scale_;
  cairo_matrix_t matrix_;
};

// Paragraphs split at line feeds; with word wrap each broken at blanks to fit `width`.
std::vector<std::vector<uint32_t>> LayoutLines(const std::vector<uint32_t>& text, bool wrap,
                                               double width, const TLineFont& font) {
  std::vector<std::vector<uint32_t>> lines(1);
  for (uint32_t c : text) {
    if (c == '\n' || c == '\r') {
      lines.emplace_back();
      continue;
    }
    std::vector<uint32_t>& line = lines.back();
    line.push_back(c);
    if (!wrap || c == ' ' || font.Width(line) <= width) continue;
    // Break after the last blank of the line, or not at all for one long word.
    const auto blank = std::find(line.rbegin(), line.rend(), uint32_t(' '));
    if (blank == line.rend()) continue;
    std::vector<uint32_t> rest(blank.base(), line.end());
    line.erase(blank.base() - 1, line.end());
    lines.push_back(std::move(rest));
  }
  return lines;
}

// White under the field and a black hairline on its outermost pixels (through their centres,
// so an upright field gets crisp one-pixel lines).
void PaintBorder(cairo_t* cr, const TSwfRect& b, const TPaintState& state) {
  const double width = double(b.XMax) - b.XMin, height = double(b.YMax) - b.YMin;
  cairo_rectangle(cr, b.XMin, b.YMin, width, height);
  if (SetTextColor(cr, {255, 255, 255, 255}, state)) cairo_fill_preserve(cr);
  if (!SetTextColor(cr, {0, 0, 0, 255}, state)) {
    cairo_new_path(cr);
    return;
  }
  const cairo_matrix_t& m = state.Matrix;
  cairo_identity_matrix(cr);
  if (m.xy == 0 && m.yx == 0) {
    cairo_new_path(cr);
    double x0 = b.XMin, y0 = b.YMin, x1 = b.XMax, y1 = b.YMax;
    cairo_matrix_transform_point(&m, &x0, &y0);
    cairo_matrix_transform_point(&m, &x1, &y1);
    const double left = std::round(std::min(x0, x1)), right = std::round(std::max(x0, x1));
    const double top = std::round(std::min(y0, y1)), bottom = std::round(std::max(y0, y1));
    cairo_rectangle(cr, left + 0.5, top + 0.5, right - left, bottom - top);
  }
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_set_matrix(cr, &m);
}

// The lines of the field's text inside its gutter and margins, the colour already set.
void PaintFieldText(const TPaintTarget& target, const TEditText& field, const TPaintState& state) {
  cairo_t* cr = target.Cr;
  std::vector<uint32_t> text = CodePoints(field.Text);
  if (text.size() > kMaxFieldText) text.resize(kMaxFieldText);
  if (field.Password)
    for (uint32_t& c : text)
      if (c != '\n' && c != '\r') c = '*';
  const TFontGlyphs* embedded =
      field.UseOutlines && field.FontId ? target.Library->Font(field.FontId) : nullptr;
  std::unique_ptr<TLineFont> font;
  if (embedded && !embedded->Codes.empty() && embedded->HasLayout)
    font = std::make_unique<TEmbeddedFont>(cr, *embedded, field.FontHeight, state.Matrix);
  else
    font = std::make_unique<TFallbackFont>(cr, field.FontHeight);

  const TSwfRect& b = field.Bounds;
  const double left = b.XMin + kGutter + field.LeftMargin;
  const double right = b.XMax - kGutter - field.RightMargin;
  const auto lines = LayoutLines(text, field.WordWrap, right - left - field.Indent, *font);
  double baseline = b.YMin + kGutter + font->Ascent();
  for (size_t i = 0; i < lines.size(); ++i) {
    const double lineWidth = font->Width(lines[i]);
    double x = left + (i == 0 ? field.Indent : 0);
    if (field.Align == TTextAlign::Right) x = right - lineWidth;
    if (field.Align == TTextAlign::Center) x = (left + right - lineWidth) / 2;
    font->Draw(lines[i], x, baseline);
    baseline += font->Ascent() + font->Descent() + field.Leading;
    if (baseline - font->Ascent() > b.YMax) break;
  }
}

}  // namespace

void PaintStaticText(const TPaintTarget& target, const TStaticText& text,
                     const TPaintState& state) {
  cairo_t* cr = target.Cr;
  const cairo_matrix_t textMatrix = Compose(state.Matrix, ToCairo(text.Matrix));
  for (const TTextRun& run : text.Runs) {
    const TFontGlyphs* font = target.Library->Font(run.FontId);
    if (!font || run.Glyphs.empty()) continue;
    const double scale = run.Height / font->EmSquare;
    cairo_new_path(cr);
    for (const TPlacedGlyph& glyph : run.Glyphs) {
      if (glyph.Index >= font->Glyphs.size()) continue;
      cairo_matrix_t place;
      cairo_matrix_init(&place, scale, 0, 0, scale, glyph.X, glyph.Y);
      const cairo_matrix_t m = Compose(textMatrix, place);
      if (!Usable(m)) continue;
      cairo_set_matrix(cr, &m);
      AppendPath(cr, font->Glyphs[glyph.Index], false);
    }
    cairo_identity_matrix(cr);
    if (!SetTextColor(cr, run.Color, state)) continue;
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }
  cairo_new_path(cr);
}

void PaintEditText(const TPaintTarget& target, const TEditText& field, const TPaintState& state) {
  cairo_t* cr = target.Cr;
  cairo_set_matrix(cr, &state.Matrix);
  const TSwfRect& b = field.Bounds;
  const double width = double(b.XMax) - b.XMin, height = double(b.YMax) - b.YMin;
  if (width <= 0 || height <= 0) return;
  cairo_save(cr);
  if (field.Border && !state.MaskMode) PaintBorder(cr, b, state);
  cairo_rectangle(cr, b.XMin, b.YMin, width, height);
  cairo_clip(cr);
  // A font of no size would leave cairo unable to draw anything more.
  if (!field.Text.empty() && field.FontHeight > 0 && SetTextColor(cr, field.Color, state))
    PaintFieldText(target, field, state);
  cairo_restore(cr);
  cairo_new_path(cr);
}

}  // namespace kestrava::render

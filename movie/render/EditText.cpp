#include "movie/render/EditText.h"

#include <cctype>

#include "movie/SwfTagCodes.h"

namespace kestrava::render {

namespace {

std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string LowerTagName(const std::string& tag) {
  std::string name;
  for (char c : tag) {
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '/')
      name += char(std::tolower(static_cast<unsigned char>(c)));
    else if (!name.empty())
      break;
  }
  return name;
}

}  // namespace

std::string PlainTextOfHtml(const std::string& html) {
  static const struct {
    const char* Name;
    const char* Text;
  } kEntities[] = {{"&lt;", "<"},    {"&gt;", ">"},   {"&amp;", "&"},
                   {"&quot;", "\""}, {"&apos;", "'"}, {"&nbsp;", " "}};
  std::string out;
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const size_t close = html.find('>', i);
      if (close == std::string::npos) break;
      const std::string name = LowerTagName(html.substr(i + 1, close - i - 1));
      if (name == "br" || name == "/p" || name == "br/") out += '\n';
      i = close + 1;
      continue;
    }
    if (html[i] == '&') {
      bool matched = false;
      for (const auto& entity : kEntities) {
        if (html.compare(i, std::char_traits<char>::length(entity.Name), entity.Name) == 0) {
          out += entity.Text;
          i += std::char_traits<char>::length(entity.Name);
          matched = true;
          break;
        }
      }
      if (matched) continue;
    }
    out += html[i++];
  }
  // A closing paragraph ends the text without opening another line.
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEditText ReadEditTextCharacter(const TSwfCharacter& character, uint8_t movieVersion) {
  if (character.TagCode != swftag::DefineEditText) throw ESwfError("not a text field");
  TSwfBits bits(character.Body);
  bits.U16();
  TEditText field;
  field.Bounds = ReadSwfRect(bits);
  const uint8_t flags1 = bits.U8();
  const uint8_t flags2 = bits.U8();
  const bool hasText = flags1 & 0x80;
  field.WordWrap = flags1 & 0x40;
  field.Multiline = flags1 & 0x20;
  field.Password = flags1 & 0x10;
  const bool hasColor = flags1 & 0x04;
  const bool hasMaxLength = flags1 & 0x02;
  const bool hasFont = flags1 & 0x01;
  const bool hasFontClass = flags2 & 0x80;
  const bool hasLayout = flags2 & 0x20;
  field.Border = flags2 & 0x08;
  field.Html = flags2 & 0x02;
  field.UseOutlines = flags2 & 0x01;
  if (hasFont) field.FontId = bits.U16();
  if (hasFontClass) bits.String();
  if (hasFont || hasFontClass) field.FontHeight = bits.U16();
  if (hasColor) field.Color = ReadSwfRgba(bits);
  if (hasMaxLength) bits.U16();
  if (hasLayout) {
    const uint8_t align = bits.U8();
    field.Align = align == 1   ? TTextAlign::Right
                  : align == 2 ? TTextAlign::Center
                  : align == 3 ? TTextAlign::Justify
                               : TTextAlign::Left;
    field.LeftMargin = bits.U16();
    field.RightMargin = bits.U16();
    field.Indent = bits.U16();
    field.Leading = bits.S16();
  }
  bits.String();  // the variable
  if (hasText) {
    std::string text = bits.String();
    if (movieVersion < 6) text = Latin1ToUtf8(text);
    field.Text = field.Html ? PlainTextOfHtml(text) : text;
  }
  return field;
}

}  // namespace kestrava::render

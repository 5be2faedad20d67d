#pragma once

// Hand-made movies for the tests: tags, PlaceObject bodies and frame scripts written byte by
// byte, so each test shows exactly what the reader gets.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrava::test {

using TBytes = std::vector<uint8_t>;

inline void Append(TBytes& to, const TBytes& more) {
  to.insert(to.end(), more.begin(), more.end());
}

inline TBytes Join(std::initializer_list<TBytes> parts) {
  TBytes out;
  for (const TBytes& part : parts)
    Append(out, part);
  return out;
}

inline TBytes U16(unsigned value) {
  return {uint8_t(value), uint8_t(value >> 8)};
}

inline TBytes U32(uint32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

inline TBytes Text(const std::string& text) {
  TBytes out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

// A tag with the short header when it fits, or the long one when asked or needed.
inline TBytes Tag(unsigned code, const TBytes& body, bool longHeader = false) {
  TBytes out;
  if (body.size() < 0x3F && !longHeader) {
    Append(out, U16(code << 6 | unsigned(body.size())));
  } else {
    Append(out, U16(code << 6 | 0x3F));
    Append(out, U32(uint32_t(body.size())));
  }
  Append(out, body);
  return out;
}

inline TBytes ShowFrame() {
  return Tag(1, {});
}
inline TBytes EndTag() {
  return Tag(0, {});
}

// A DefineShape whose body only has to carry its id for the timeline.
inline TBytes DefineShape(unsigned id) {
  return Tag(2, Join({U16(id), {0x00, 0x00}}));
}

inline TBytes DefineSprite(unsigned id, const std::vector<TBytes>& tags) {
  TBytes body = U16(id);
  unsigned frames = 0;
  for (const TBytes& tag : tags)
    frames += tag == ShowFrame();
  Append(body, U16(frames));
  for (const TBytes& tag : tags)
    Append(body, tag);
  return Tag(39, body, true);
}

// A matrix of translation only, in twips: 5 bits of size then x and y in 16 bits each.
inline TBytes Translation(int x, int y) {
  const uint64_t bits =
      uint64_t(0) << 38 | uint64_t(16) << 32 | uint64_t(uint16_t(x)) << 16 | uint64_t(uint16_t(y));
  // 0 (no scale), 0 (no rotation), 10000 (16 bits), x, y: 39 bits in 5 bytes.
  const uint64_t packed = bits << (40 - 39);
  return {uint8_t(packed >> 32), uint8_t(packed >> 24), uint8_t(packed >> 16), uint8_t(packed >> 8),
          uint8_t(packed)};
}

// A PlaceObject2 built field by field: Place(1, 3).At(100, 0).Named("ball").
struct TPlace {
  unsigned Depth = 1;
  int Character = -1;  // -1: none
  bool Move = false;
  bool HasMatrix = false;
  int X = 0, Y = 0;
  int Ratio = -1;
  std::string Name;
  int ClipDepth = -1;

  TPlace At(int x, int y) const {
    TPlace p = *this;
    p.HasMatrix = true, p.X = x, p.Y = y;
    return p;
  }
  TPlace Named(std::string name) const {
    TPlace p = *this;
    p.Name = std::move(name);
    return p;
  }
  TPlace Moving() const {
    TPlace p = *this;
    p.Move = true;
    return p;
  }
  TPlace WithRatio(int ratio) const {
    TPlace p = *this;
    p.Ratio = ratio;
    return p;
  }
  TPlace Clipping(int depth) const {
    TPlace p = *this;
    p.ClipDepth = depth;
    return p;
  }
};

inline TPlace Place(unsigned depth, int character = -1) {
  TPlace p;
  p.Depth = depth;
  p.Character = character;
  return p;
}

inline TBytes PlaceObject2(const TPlace& p) {
  uint8_t flags = p.Move ? 0x01 : 0;
  if (p.Character >= 0) flags |= 0x02;
  if (p.HasMatrix) flags |= 0x04;
  if (p.Ratio >= 0) flags |= 0x10;
  if (!p.Name.empty()) flags |= 0x20;
  if (p.ClipDepth >= 0) flags |= 0x40;
  TBytes body = {flags};
  Append(body, U16(p.Depth));
  if (p.Character >= 0) Append(body, U16(unsigned(p.Character)));
  if (p.HasMatrix) Append(body, Translation(p.X, p.Y));
  if (p.Ratio >= 0) Append(body, U16(unsigned(p.Ratio)));
  if (!p.Name.empty()) Append(body, Text(p.Name));
  if (p.ClipDepth >= 0) Append(body, U16(unsigned(p.ClipDepth)));
  return Tag(26, body);
}

inline TBytes RemoveObject2(unsigned depth) {
  return Tag(28, U16(depth));
}
inline TBytes FrameLabel(const std::string& name) {
  return Tag(43, Text(name));
}

// Frame scripts: DoAction of the given actions, closed by an End action.
inline TBytes DoAction(std::initializer_list<TBytes> actions) {
  TBytes body = Join(actions);
  body.push_back(0);
  return Tag(12, body);
}

inline TBytes Action(uint8_t code, const TBytes& data = {}) {
  TBytes out = {code};
  if (code >= 0x80) {
    Append(out, U16(unsigned(data.size())));
    Append(out, data);
  }
  return out;
}

inline TBytes PushText(const std::string& text) {
  return Action(0x96, Join({{0x00}, Text(text)}));
}
inline TBytes PushNumber(int32_t value) {
  return Action(0x96, Join({{0x07}, U32(uint32_t(value))}));
}
inline TBytes Trace() {
  return Action(0x26);
}
inline TBytes TraceText(const std::string& text) {
  return Join({PushText(text), Trace()});
}
inline TBytes Stop() {
  return Action(0x07);
}
inline TBytes Play() {
  return Action(0x06);
}
inline TBytes GotoFrame(unsigned frame) {
  return Action(0x81, U16(frame));
}
inline TBytes GotoLabel(const std::string& label) {
  return Action(0x8C, Text(label));
}
inline TBytes SetTarget(const std::string& path) {
  return Action(0x8B, Text(path));
}
inline TBytes GetVariable() {
  return Action(0x1C);
}
inline TBytes SetVariable() {
  return Action(0x1D);
}
inline TBytes Jump(int16_t offset) {
  return Action(0x99, U16(uint16_t(offset)));
}
inline TBytes If(int16_t offset) {
  return Action(0x9D, U16(uint16_t(offset)));
}

// An uncompressed movie of 550 x 400 pixels at 12 frames per second. The stated frame count
// and file length are right unless a test overrides them.
inline TBytes Movie(const std::vector<TBytes>& tags, uint8_t version = 6, int statedFrames = -1) {
  // Rectangle 0..11000 x 0..8000 twips in 15-bit fields: 5 + 60 bits, 9 bytes.
  const TBytes rect = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00};
  TBytes body = rect;
  Append(body, U16(12 << 8));
  unsigned frames = 0;
  for (const TBytes& tag : tags)
    frames += tag == ShowFrame();
  Append(body, U16(statedFrames >= 0 ? unsigned(statedFrames) : frames));
  for (const TBytes& tag : tags)
    Append(body, tag);
  TBytes file = {'F', 'W', 'S', version};
  Append(file, U32(uint32_t(8 + body.size())));
  Append(file, body);
  return file;
}

}  // namespace kestrava::test

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/GifStream.h"

namespace kestrava {

class TGifFrame;

// A block introduced by "!" and a label. Each kind reads its own body.
class TGifExtension {
 public:
  static constexpr uint8_t kIntroducer = 0x21;

  virtual ~TGifExtension() = default;
  virtual uint8_t Label() const = 0;
  // Reads the introducer, the label and the body.
  void LoadFromStream(TGifReader& reader);

 protected:
  virtual void LoadBody(TGifReader& reader) = 0;
};

class TGifGraphicControl : public TGifExtension {
 public:
  static constexpr uint8_t kLabel = 0xF9;
  uint8_t Label() const override { return kLabel; }

  uint8_t BlockSize = 0;
  uint8_t Packed = 0;
  uint16_t Delay = 0;  // hundredths of a second
  uint8_t TransparentColorIndex = 0;
  uint8_t Terminator = 0;

  bool Transparent() const { return Packed & 1; }
  bool UserInput() const { return Packed & 2; }
  int Disposal() const { return (Packed >> 2) & 7; }

 protected:
  void LoadBody(TGifReader& reader) override;
};

// Text as data sub-blocks, one line per sub-block.
class TGifTextExtension : public TGifExtension {
 public:
  std::vector<std::string> Text;

 protected:
  void LoadText(TGifReader& reader);
};

class TGifPlainText : public TGifTextExtension {
 public:
  static constexpr uint8_t kLabel = 0x01;
  uint8_t Label() const override { return kLabel; }

  // Block size, then grid left, top, width, height, cell width, height, foreground, background.
  std::array<uint8_t, 13> Grid{};

 protected:
  void LoadBody(TGifReader& reader) override;
};

class TGifComment : public TGifTextExtension {
 public:
  static constexpr uint8_t kLabel = 0xFE;
  uint8_t Label() const override { return kLabel; }

 protected:
  void LoadBody(TGifReader& reader) override { LoadText(reader); }
};

// An application extension: block size, 8 identifier and 3 authentication bytes, then data
// sub-blocks that each kind reads its own way. This base kind stands for a block size of 12 or
// more, whose identifier is never looked at; it has no way to read its data.
class TGifApplication : public TGifExtension {
 public:
  static constexpr uint8_t kLabel = 0xFF;
  uint8_t Label() const override { return kLabel; }

  uint8_t BlockSize = 0;
  std::array<char, 11> Identifier{};

  std::string IdentifierText() const { return std::string(Identifier.begin(), Identifier.end()); }

 protected:
  void LoadBody(TGifReader& reader) override;
  virtual void LoadData(TGifReader& reader);
};

// "NETSCAPE2.0" or "ANIMEXTS1.0": how often the animation plays, and a buffer size.
class TGifLoopExtension : public TGifApplication {
 public:
  uint16_t LoopCount = 0;  // 0: without end
  uint32_t BufferSize = 0;

 protected:
  void LoadData(TGifReader& reader) override;
};

struct TGifDataBlock {
  std::vector<uint8_t> Data;
};

// Any other application: its data kept as read.
class TGifUnknownApplication : public TGifApplication {
 public:
  std::vector<TGifDataBlock> Blocks;

 protected:
  void LoadData(TGifReader& reader) override;
};

// A label no kind above knows: its data sub-blocks are passed over, so that a picture written
// with some newer or private extension still loads.
class TGifUnknownExtension : public TGifExtension {
 public:
  explicit TGifUnknownExtension(uint8_t label) : label_(label) {}
  uint8_t Label() const override { return label_; }

  size_t DataSize = 0;  // bytes of its sub-blocks, passed over

 protected:
  void LoadBody(TGifReader& reader) override;

 private:
  uint8_t label_;
};

// The extensions in front of one frame, in file order.
class TGifExtensionList {
 public:
  std::vector<std::unique_ptr<TGifExtension>> Items;

  // Reads extensions up to the next image descriptor or trailer; the first graphic control
  // becomes the frame's, and a transparent one marks the frame transparent.
  void LoadFromStream(TGifReader& reader, TGifFrame& frame);
};

}  // namespace kestrava

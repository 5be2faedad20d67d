#include "imaging/GifExtensions.h"

#include <cstdio>
#include <cstring>

#include "imaging/GifErrors.h"
#include "imaging/GifFrame.h"

namespace kestrava {

namespace {

constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

// Where an application block expects a byte, the end of the stream counts as 0: a loop extension
// cut short then simply ends instead of failing the whole picture.
uint8_t ByteOrZero(TGifStream& stream) {
  const int b = stream.ReadByte();
  return b < 0 ? 0 : uint8_t(b);
}

uint16_t WordOrZero(TGifStream& stream) {
  const uint8_t lo = ByteOrZero(stream);
  return uint16_t(lo | ByteOrZero(stream) << 8);
}

bool IsLoopIdentifier(const uint8_t* id) {
  return !std::memcmp(id, "NETSCAPE2.0", 11) || !std::memcmp(id, "ANIMEXTS1.0", 11);
}

// Chooses the kind of the extension whose "!" was just read, looking ahead without moving.
std::unique_ptr<TGifExtension> ExtensionFor(TGifStream& stream) {
  const size_t at = stream.Position();
  const int label = stream.ReadByte();
  std::unique_ptr<TGifExtension> extension;
  switch (label) {
    case TGifGraphicControl::kLabel:
      extension = std::make_unique<TGifGraphicControl>();
      break;
    case TGifPlainText::kLabel:
      extension = std::make_unique<TGifPlainText>();
      break;
    case TGifComment::kLabel:
      extension = std::make_unique<TGifComment>();
      break;
    case TGifApplication::kLabel: {
      const int size = stream.ReadByte();
      uint8_t id[11];
      if (size == 11) {
        if (stream.Read(id, 11) < 11)
          extension = std::make_unique<TGifApplication>();
        else if (IsLoopIdentifier(id))
          extension = std::make_unique<TGifLoopExtension>();
        else
          extension = std::make_unique<TGifUnknownApplication>();
      } else if (size == 10) {
        if (stream.Read(id, 10) == 10) extension = std::make_unique<TGifUnknownApplication>();
      } else if (size >= 0) {
        extension = std::make_unique<TGifApplication>();
      }
      break;
    }
    default:
      // The end of the file right after "!" is no extension of any kind.
      if (label < 0) throw EGifError("Premature end of data");
      extension = std::make_unique<TGifUnknownExtension>(uint8_t(label));
      break;
  }
  stream.Seek(at);
  if (!extension) throw EGifError("Unknown extension type");
  return extension;
}

}  // namespace

void TGifExtension::LoadFromStream(TGifReader& reader) {
  uint8_t head[2];
  reader.ReadExact(head, 2);
  if (head[0] != kIntroducer) throw EGifError("Invalid extension introducer");
  if (head[1] != Label())
    throw EGifError("Internal error: Extension Instance does not match Extension Label");
  LoadBody(reader);
}

void TGifGraphicControl::LoadBody(TGifReader& reader) {
  uint8_t body[6] = {};
  // A cut-short block keeps the fields it has.
  if (reader.Stream.Read(body, sizeof body) < sizeof body) reader.Warning("Premature end of data");
  BlockSize = body[0];
  Packed = body[1];
  Delay = GifWord(body + 2);
  TransparentColorIndex = body[4];
  Terminator = body[5];
}

void TGifTextExtension::LoadText(TGifReader& reader) {
  for (int n = reader.Stream.ReadByte(); n > 0; n = reader.Stream.ReadByte()) {
    std::string line(size_t(n), '\0');
    reader.ReadExact(line.data(), line.size());
    Text.push_back(std::move(line));
  }
}

void TGifPlainText::LoadBody(TGifReader& reader) {
  reader.ReadExact(Grid.data(), Grid.size());
  LoadText(reader);
}

void TGifApplication::LoadBody(TGifReader& reader) {
  BlockSize = ByteOrZero(reader.Stream);
  if (BlockSize < 10) throw EGifError("Unsupported Application Extension block size");
  Identifier.fill(0);
  reader.ReadExact(Identifier.data(), Identifier.size());
  if (BlockSize == 10)
    reader.Stream.StepBack();
  else
    reader.Stream.Skip(BlockSize - 11u);
  LoadData(reader);
}

void TGifApplication::LoadData(TGifReader&) {
  throw EGifError("Unsupported Application Extension: block size " + std::to_string(BlockSize));
}

void TGifLoopExtension::LoadData(TGifReader& reader) {
  TGifStream& stream = reader.Stream;
  for (int n = ByteOrZero(stream); n != 0; n = ByteOrZero(stream)) {
    const int kind = ByteOrZero(stream) & 7;
    if (kind == 1) {
      if (n < 3) throw EGifError("Invalid GIF data");
      LoopCount = WordOrZero(stream);
      stream.Skip(size_t(n - 3));
    } else if (kind == 2) {
      if (n < 5) throw EGifError("Invalid GIF data");
      const uint16_t lo = WordOrZero(stream);
      BufferSize = uint32_t(lo) | uint32_t(WordOrZero(stream)) << 16;
      stream.Skip(size_t(n - 5));
    } else {
      stream.Skip(size_t(n - 1));
    }
  }
}

void TGifUnknownApplication::LoadData(TGifReader& reader) {
  for (int n = reader.Stream.ReadByte(); n > 0; n = reader.Stream.ReadByte()) {
    TGifDataBlock block;
    block.Data.resize(size_t(n));
    reader.ReadExact(block.Data.data(), block.Data.size());
    Blocks.push_back(std::move(block));
  }
}

void TGifUnknownExtension::LoadBody(TGifReader& reader) {
  // Unlike a comment, a file that ends before the terminator is damaged: what the extension
  // held cannot be told from what the file lost.
  for (int n = reader.ReadExactByte(); n > 0; n = reader.ReadExactByte()) {
    if (reader.Stream.Remaining() < size_t(n)) throw EGifError("Premature end of data");
    reader.Stream.Skip(size_t(n));
    DataSize += size_t(n);
  }
  char label[8];
  std::snprintf(label, sizeof label, "0x%02X", label_);
  reader.Warning(std::string("Unknown extension type ") + label + " skipped");
}

void TGifExtensionList::LoadFromStream(TGifReader& reader, TGifFrame& frame) {
  TGifStream& stream = reader.Stream;
  for (;;) {
    const int b = stream.ReadByte();
    if (b < 0) return;
    if (b == kImageSeparator || b == kTrailer) {
      stream.StepBack();
      return;
    }
    if (b != TGifExtension::kIntroducer) {
      // The stray byte is then taken as the separator of an image descriptor.
      reader.Warning("Invalid extension introducer");
      stream.StepBack();
      return;
    }
    std::unique_ptr<TGifExtension> extension = ExtensionFor(stream);
    stream.StepBack();
    extension->LoadFromStream(reader);
    if (auto* control = dynamic_cast<TGifGraphicControl*>(extension.get())) {
      if (!frame.GraphicControl) frame.GraphicControl = control;
      if (control->Transparent()) frame.Transparent = true;
    }
    Items.push_back(std::move(extension));
  }
}

}  // namespace kestrava

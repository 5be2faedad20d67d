// `kestrava-tool saver-info FILE`: the trailer's fields and every block of a saver file.
// `kestrava-tool saver-extract FILE DIR`: every block written out as a file of its own.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "saver/SaverFileReader.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

const char* MusicTypeName(uint8_t code) {
  return code == kMidiTypeCode ? "MIDI" : code == kWavTypeCode ? "WAV" : "MP3";
}

const char* MusicExtension(uint8_t code) {
  return code == kMidiTypeCode ? "mid" : code == kWavTypeCode ? "wav" : "mp3";
}

// runtime.bin, music-0.mid, picture-0.jpg, movie-0.swf, ...
std::string BlockFileName(const TSaverBlock& block, size_t index) {
  switch (block.Kind) {
    case TBlockKind::Runtime:
      return "runtime.bin";
    case TBlockKind::Music:
      return "music-" + std::to_string(index) + "." + MusicExtension(block.MusicType);
    case TBlockKind::Picture:
      return "picture-" + std::to_string(index) + ".jpg";
    case TBlockKind::Movie:
      return "movie-" + std::to_string(index) + ".swf";
  }
  return "block-" + std::to_string(index);
}

// The block's number among the blocks of its kind.
std::vector<size_t> IndicesByKind(const std::vector<TSaverBlock>& blocks) {
  std::vector<size_t> indices;
  size_t music = 0, sources = 0;
  for (const TSaverBlock& block : blocks)
    indices.push_back(block.Kind == TBlockKind::Music ? music++ : sources++);
  return indices;
}

void PrintInfo(const TSaverFileReader& reader) {
  const TSaverTrailer& t = reader.Trailer();
  const bool pictures = t.Kind == TSaverKind::Pictures;
  std::printf("file size: %lld\n", static_cast<long long>(reader.Layout().FileSize));
  std::printf("kind: %s\n", pictures ? "pictures" : "flash");
  std::printf("quit mode: %d\n", t.QuitMode);
  if (pictures) {
    std::printf("interval: %d\n", t.IntervalSeconds);
    std::string effects;
    for (size_t k = 0; k < t.EffectFlags.size(); ++k)
      if (t.EffectFlags[k]) {
        effects += " " + std::to_string(k);
        // A writer flags with 1; anything else is shown as found.
        if (t.EffectFlags[k] != 1) effects += "=" + std::to_string(t.EffectFlags[k]);
      }
    std::printf("effects:%s\n", effects.empty() ? " none" : effects.c_str());
  }
  std::printf("runtime: offset 0 size %lld\n", static_cast<long long>(reader.Runtime().Size));
  const std::vector<size_t> indices = IndicesByKind(reader.Blocks());
  for (size_t i = 0; i < reader.Blocks().size(); ++i) {
    const TSaverBlock& block = reader.Blocks()[i];
    std::printf("%s %zu: offset %lld size %lld", BlockKindName(block.Kind), indices[i],
                static_cast<long long>(block.Offset), static_cast<long long>(block.Size));
    if (block.Kind == TBlockKind::Music)
      std::printf(" type 0x%02X (%s)", unsigned(block.MusicType), MusicTypeName(block.MusicType));
    std::printf("\n");
  }
}

void Extract(const TSaverFileReader& reader, const std::filesystem::path& dir,
             const TSaverBlock& block, const std::string& name) {
  const std::filesystem::path path = dir / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  reader.ReadBlockInPieces(block, [&out](std::span<const uint8_t> piece) {
    out.write(reinterpret_cast<const char*>(piece.data()), std::streamsize(piece.size()));
  });
  out.close();
  if (!out) throw std::runtime_error("Cannot write file " + path.string());
  std::printf("%s\n", name.c_str());
}

}  // namespace

int RunSaverInfo(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kestrava-tool saver-info FILE\n");
    return 2;
  }
  try {
    PrintInfo(TSaverFileReader(std::filesystem::path(args[0])));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

int RunSaverExtract(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: kestrava-tool saver-extract FILE DIR\n");
    return 2;
  }
  try {
    const TSaverFileReader reader{std::filesystem::path(args[0])};
    const std::filesystem::path dir = args[1];
    std::filesystem::create_directories(dir);
    Extract(reader, dir, reader.Runtime(), BlockFileName(reader.Runtime(), 0));
    const std::vector<size_t> indices = IndicesByKind(reader.Blocks());
    for (size_t i = 0; i < reader.Blocks().size(); ++i)
      Extract(reader, dir, reader.Blocks()[i], BlockFileName(reader.Blocks()[i], indices[i]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrava::tool

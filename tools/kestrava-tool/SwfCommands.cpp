// `kestrava-tool swf-info FILE`: a Flash movie's header, frames and tag counts.
// `kestrava-tool swf-frame FILE N OUT.png [--size WxH]`: the picture after N frame advances.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/Png.h"
#include "movie/MovieInfo.h"
#include "movie/SwfMovie.h"
#include "movie/SwfMovieData.h"
#include "movie/play/MoviePlayer.h"
#include "tools/kestrava-tool/Arguments.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

const char* TagName(uint16_t code) {
  static const std::map<uint16_t, const char*> names = {
      {1, "ShowFrame"},          {2, "DefineShape"},         {4, "PlaceObject"},
      {5, "RemoveObject"},       {6, "DefineBits"},          {7, "DefineButton"},
      {8, "JPEGTables"},         {9, "SetBackgroundColor"},  {10, "DefineFont"},
      {11, "DefineText"},        {12, "DoAction"},           {13, "DefineFontInfo"},
      {14, "DefineSound"},       {15, "StartSound"},         {17, "DefineButtonSound"},
      {18, "SoundStreamHead"},   {19, "SoundStreamBlock"},   {20, "DefineBitsLossless"},
      {21, "DefineBitsJPEG2"},   {22, "DefineShape2"},       {24, "Protect"},
      {26, "PlaceObject2"},      {28, "RemoveObject2"},      {32, "DefineShape3"},
      {33, "DefineText2"},       {34, "DefineButton2"},      {35, "DefineBitsJPEG3"},
      {36, "DefineBitsLossless2"}, {37, "DefineEditText"},   {39, "DefineSprite"},
      {43, "FrameLabel"},        {45, "SoundStreamHead2"},   {46, "DefineMorphShape"},
      {48, "DefineFont2"},       {56, "ExportAssets"},       {59, "DoInitAction"},
      {60, "DefineVideoStream"}, {61, "VideoFrame"},         {62, "DefineFontInfo2"},
      {69, "FileAttributes"},    {70, "PlaceObject3"},       {73, "DefineFontAlignZones"},
      {75, "DefineFont3"},       {77, "Metadata"},           {82, "DoABC"},
      {83, "DefineShape4"},      {84, "DefineMorphShape2"},  {86, "DefineSceneAndFrameLabelData"},
      {87, "DefineBinaryData"},  {88, "DefineFontName"},     {90, "DefineBitsJPEG4"},
      {91, "DefineFont4"}};
  const auto it = names.find(code);
  return it == names.end() ? nullptr : it->second;
}

const char* CompressionName(TMovieCompression compression) {
  switch (compression) {
    case TMovieCompression::Zlib:
      return "CWS (zlib)";
    case TMovieCompression::Lzma:
      return "ZWS (LZMA)";
    case TMovieCompression::None:
      break;
  }
  return "FWS (uncompressed)";
}

}  // namespace

int RunSwfInfo(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kestrava-tool swf-info FILE\n");
    return 2;
  }
  try {
    const std::vector<uint8_t> bytes = ReadFileBytes(args[0]);
    const TMovieInfo header = ReadMovieInfo(bytes);
    const auto movie = TSwfMovie::Load(bytes);
    const TSwfMovieData& data = movie->Data();
    const TSwfRect r = movie->FrameRect();
    const TSwfRgba bg = movie->Background();
    std::printf("signature: %s, version %d, stated length %u\n", CompressionName(header.Compression),
                int(movie->Version()), header.FileLength);
    std::printf("frame: %d x %d px (twips %d,%d to %d,%d)\n", header.WidthPixels(),
                header.HeightPixels(), r.XMin, r.YMin, r.XMax, r.YMax);
    std::printf("frame rate: %g per second\n", movie->FrameRate());
    std::printf("frames: %d (the header says %d)\n", int(movie->FrameCount()),
                int(header.FrameCount));
    std::printf("background: #%02X%02X%02X\n", bg.R, bg.G, bg.B);
    std::printf("characters: %zu, sprites: %zu, labels: %zu\n", data.Characters.size(),
                data.Sprites.size(), data.Root.Labels.size());
    // Every tag the movie holds: the definitions and the timelines' control tags.
    std::map<uint16_t, int> counts;
    for (const auto& [id, character] : data.Characters) ++counts[character.TagCode];
    for (const TSwfTag& tag : data.Root.Tags) ++counts[tag.Code];
    for (const auto& [id, sprite] : data.Sprites)
      for (const TSwfTag& tag : sprite.Tags) ++counts[tag.Code];
    std::printf("tags:\n");
    for (const auto& [code, count] : counts) {
      const char* name = TagName(code);
      if (name)
        std::printf("  %-28s %6d\n", name, count);
      else
        std::printf("  tag %-24d %6d\n", int(code), count);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

int RunSwfFrame(const std::vector<std::string>& args) {
  try {
    const TArguments arguments(args, {"size"});
    const std::vector<std::string>& positional = arguments.Positional();
    if (positional.size() != 3) throw EUsage("swf-frame wants FILE N OUT.png");
    const long advances = std::stol(positional[1]);
    if (advances < 0 || advances > 1000000) throw EUsage("N must be 0 to 1000000");
    const auto player = TMoviePlayer::LoadFile(positional[0]);
    for (long i = 0; i < advances; ++i) player->Advance();
    // The movie's own size, within what a picture file can sensibly hold.
    auto [width, height] = std::pair(std::clamp(player->Width(), 1, 8192),
                                     std::clamp(player->Height(), 1, 8192));
    if (const auto size = arguments.Option("size")) std::tie(width, height) = ParseSize(*size);
    TBitmap frame(width, height);
    player->Render(frame);
    WritePngFile(positional[2], frame);
  } catch (const EUsage& e) {
    std::fprintf(stderr, "kestrava-tool: %s\nusage: kestrava-tool swf-frame FILE N OUT.png [--size WxH]\n",
                 e.what());
    return 2;
  } catch (const std::invalid_argument&) {
    std::fprintf(stderr, "usage: kestrava-tool swf-frame FILE N OUT.png [--size WxH]\n");
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrava::tool

#pragma once

// Small music files of each kind the preview plays, made on the spot, of a chosen length.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace kestrava::test {

inline void PutLittle(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void PutBig(std::string& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// 16-bit mono PCM at 8000 Hz: a quiet 440 Hz tone.
inline void WriteWav(const std::filesystem::path& path, double seconds) {
  const uint32_t rate = 8000;
  const uint32_t samples = static_cast<uint32_t>(seconds * rate);
  std::string out = "RIFF";
  PutLittle(out, 36 + samples * 2, 4);
  out += "WAVEfmt ";
  PutLittle(out, 16, 4);
  PutLittle(out, 1, 2);  // PCM
  PutLittle(out, 1, 2);  // mono
  PutLittle(out, rate, 4);
  PutLittle(out, rate * 2, 4);
  PutLittle(out, 2, 2);
  PutLittle(out, 16, 2);
  out += "data";
  PutLittle(out, samples * 2, 4);
  for (uint32_t i = 0; i < samples; ++i) {
    const auto sample = static_cast<int16_t>(2000 * std::sin(2 * M_PI * 440 * i / rate));
    PutLittle(out, static_cast<uint16_t>(sample), 2);
  }
  WriteBytes(path, out);
}

// A standard MIDI file, format 0, 96 ticks per quarter note at the default 120 beats a minute:
// one piano note held for the length.
inline void WriteMidi(const std::filesystem::path& path, double seconds) {
  const uint32_t ticks = static_cast<uint32_t>(seconds * 2 * 96);
  std::string delta;  // variable-length quantity, most significant group first
  for (int shift = 21; shift > 0; shift -= 7)
    if (ticks >> shift) delta += static_cast<char>(0x80 | ((ticks >> shift) & 0x7F));
  delta += static_cast<char>(ticks & 0x7F);
  std::string track = std::string("\x00\xC0\x00", 3)            // program 0
                      + std::string("\x00\x90\x3C\x64", 4)      // note on, middle C
                      + delta + std::string("\x80\x3C\x40", 3)  // note off
                      + std::string("\x00\xFF\x2F\x00", 4);     // end of track
  std::string out = "MThd";
  PutBig(out, 6, 4);
  PutBig(out, 0, 2);
  PutBig(out, 1, 2);
  PutBig(out, 96, 2);
  out += "MTrk";
  PutBig(out, static_cast<uint32_t>(track.size()), 4);
  out += track;
  WriteBytes(path, out);
}

// MPEG-1 Layer III frames of silence: 128 kbit/s, 44100 Hz, mono, no CRC; all-zero side
// information and main data decode to silence. Each frame is 417 bytes, 1152 samples.
inline void WriteMp3(const std::filesystem::path& path, double seconds) {
  const int frames = static_cast<int>(seconds * 44100 / 1152) + 1;
  std::string frame("\xFF\xFB\x90\xC4", 4);
  frame.resize(417, '\0');
  std::string out;
  for (int i = 0; i < frames; ++i)
    out += frame;
  WriteBytes(path, out);
}

}  // namespace kestrava::test

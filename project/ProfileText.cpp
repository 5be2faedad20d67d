#include "project/ProfileText.h"

namespace kestrava::project {

namespace {

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence that a lead byte starts, or 0 for a byte that starts none.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Start of a well-formed multi-byte sequence that covers position `at` and starts before it,
// or `at` itself when there is none.
size_t SequenceStart(std::string_view text, size_t at) {
  for (size_t back = 1; back <= 3 && back <= at; ++back) {
    const size_t start = at - back;
    const auto lead = static_cast<unsigned char>(text[start]);
    if (IsContinuation(lead)) continue;
    const size_t length = SequenceLength(lead);
    if (length <= back || start + length > text.size()) return at;
    for (size_t i = start + 1; i < start + length; ++i)
      if (!IsContinuation(static_cast<unsigned char>(text[i]))) return at;
    return start;
  }
  return at;
}

}  // namespace

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return TrimTrailingBlanks(text);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::string_view CutToBytes(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  return text.substr(0, SequenceStart(text, maxBytes));
}

std::string_view DropLastCharacters(std::string_view text, size_t count) {
  size_t end = text.size();
  for (size_t i = 0; i < count && end > 0; ++i) {
    // The last character ends at `end`: a sequence whose final byte is end - 1.
    const size_t start = SequenceStart(text.substr(0, end), end - 1);
    end = start;
  }
  return text.substr(0, end);
}

}  // namespace kestrava::project

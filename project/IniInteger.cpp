#include "project/IniInteger.h"

namespace kestrava::project {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  for (const char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0 || value > 0x0FFFFFFFu) return std::nullopt;
    value = value << 4 | uint32_t(digit);
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : INT32_MAX;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<int32_t> ParseProjectInteger(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2));
  if (!text.empty() && text[0] == '$') return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

int32_t ReadProjectInteger(const TIniText& text, std::string_view section, std::string_view key,
                           int32_t fallback) {
  return ParseProjectInteger(text.ReadString(section, key, "")).value_or(fallback);
}

std::string FormatProjectInteger(int32_t value) {
  return std::to_string(value);
}

}  // namespace kestrava::project

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "project/IniText.h"

namespace kestrava::project {

// The project file's integer rule, applied to a value as the profile reader returns it: decimal
// with an optional sign; "0x" or "0X" followed by hexadecimal digits (more than two characters
// in all); "$" followed by hexadecimal digits. Hexadecimal covers 32 bits and is taken as two's
// complement ("$FFFFFFFF" is -1). Anything else, a value out of range included, is no number.
std::optional<int32_t> ParseProjectInteger(std::string_view text);

// A key's value by that rule; the fallback when the key is missing or holds no such number.
int32_t ReadProjectInteger(const TIniText& text, std::string_view section, std::string_view key,
                           int32_t fallback);

// How integers are written: plain decimal, "-" when negative.
std::string FormatProjectInteger(int32_t value);

}  // namespace kestrava::project

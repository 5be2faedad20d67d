#pragma once

// Windows speaks UTF-16; the engine and its messages speak UTF-8.

#include <string>
#include <string_view>

namespace kestrava {

std::wstring WideOf(std::string_view utf8);
std::string Utf8Of(std::wstring_view wide);

}  // namespace kestrava

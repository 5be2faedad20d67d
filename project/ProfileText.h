#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte-level text rules shared by the profile-file reader and the project file. Text is UTF-8
// where it is valid; other bytes pass through as single characters.
namespace kestrava::project {

// Space, tab, vertical tab and form feed: what the profile rules drop around names and values.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);

// Only ASCII letters change, so that names compare alike whatever bytes they hold.
std::string AsciiLower(std::string_view text);

// At most maxBytes bytes of text; a well-formed UTF-8 sequence that the limit would split is
// left out whole, so a cut never makes valid text invalid.
std::string_view CutToBytes(std::string_view text, size_t maxBytes);

// Text without its last count characters (a well-formed UTF-8 sequence counts as one, any other
// byte as one); empty when it has fewer.
std::string_view DropLastCharacters(std::string_view text, size_t count);

}  // namespace kestrava::project

#pragma once

// Where a build writes its saver file.

#include <string>
#include <string_view>

namespace kestrava {

// The extension of output type index 0 (".scr") and 1 (".exe"). Any other index, which only a
// project file with a negative type can bring, also gives ".scr": without an extension a build
// with no name would target the first source's own file name.
std::string_view OutputExtension(int outputType);

// The output path: outputDir + outputName + ".exe" when a name is given, else outputDir + the file
// name of the first source (joined as they are: outputDir carries its own trailing "/"). Then
// everything from the last dot after the last "/" is replaced by the type's extension, or the
// extension is appended when there is no such dot: the name "My.Saver" gives "My.Saver.scr".
std::string ComposeOutputPath(std::string_view outputDir, std::string_view outputName,
                              std::string_view firstSource, int outputType);

}  // namespace kestrava

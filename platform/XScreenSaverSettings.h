#pragma once

// XScreenSaver's per-user settings (~/.xscreensaver) as text. The file holds "name: value"
// records; a line that ends in a backslash goes on in the next line, and inside a value "\n"
// stands for a line break. The value of "programs" lists the savers, one per line: an optional
// "-" (disabled), an optional visual followed by ":", an optional name in double quotes, then the
// shell command. "selected" is the 0-based index of a program in that list; "mode: one" makes
// XScreenSaver run only that one. The last record of a name counts.

#include <string>
#include <string_view>

namespace kestrava {

// The shell command under which XScreenSaver runs the saver at saverPath (an absolute path).
// XScreenSaver starts a program only when the command's first word names an existing file, so a
// path that needs quoting (blanks, quotes, ":" and other shell characters) is quoted and started
// through /usr/bin/env; a plain path stands alone. Always with -root, which every XScreenSaver
// program is given. Throws std::invalid_argument for a path with a line break, which no settings
// line can hold.
std::string SaverCommand(std::string_view saverPath);

// The settings text with `command` listed among the programs and selected ("mode: one",
// "selected: <its index>"); an existing entry with the same command is selected, and enabled when
// it was disabled, not doubled. A new entry goes to the end of the list, with displayName in
// quotes when one is given (quotes and backslashes in it are dropped). Every other line, record
// and entry stays byte for byte. Throws std::invalid_argument for a command that would not read
// back as itself from the file (empty, several lines, a first word XScreenSaver takes for a
// visual or a name).
std::string SelectSaverProgram(std::string_view settingsText, std::string_view command,
                               std::string_view displayName = {});

}  // namespace kestrava

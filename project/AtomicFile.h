#pragma once

#include <filesystem>
#include <string_view>

namespace kestrava::project {

// Replaces the file at path with bytes in one step: they go to a new file in the same folder,
// reach the disk, and that file is renamed over the old one, so a full disk or a process that
// dies midway never leaves half a file. A symbolic link is followed and its target replaced; an
// existing file keeps its permissions. A file we may not write is refused, as writing it in
// place would be. False on any failure, the old file then being untouched and the temporary
// file gone.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Creates a new, empty file beside target under a unique hidden name,
// ".<target's name>.<16 hex digits><ending>", with mode 0666 less the umask. The open descriptor
// (write-only, close-on-exec), or -1 with errno set.
int CreateUniqueBeside(const std::filesystem::path& target, std::string_view ending,
                       std::filesystem::path& created);

// Makes a rename in the file's folder reach the disk; best effort.
void SyncFolderOf(const std::filesystem::path& file);

}  // namespace kestrava::project

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "project/IniText.h"

namespace kestrava::project {

// A profile file on disk, read once and edited in memory; Commit replaces the file in one step.
// A file that is missing reads as empty and is created by Commit. One that cannot be read (no
// permission, not a regular file, larger than kMaxIniBytes) also reads as empty, but refuses
// every write: writing it back would lose what could not be read.
class TIniFile {
 public:
  explicit TIniFile(std::filesystem::path path);

  const std::filesystem::path& Path() const { return path_; }
  const TIniText& Text() const { return text_; }
  bool Writable() const { return writable_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback,
                         size_t maxChars = kMaxIniValueChars) const;
  // The project file's integer rule (ParseProjectInteger); the fallback for anything else.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;

  // Edits in memory; false, changing nothing, when the value cannot be stored (TIniText) or the
  // file refuses writes.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  // Writes the edited text over the file (ReplaceFileAtomically); false when that fails, the
  // file then being as it was.
  bool Commit();

 private:
  std::filesystem::path path_;
  TIniText text_;
  bool writable_ = true;
};

}  // namespace kestrava::project

#include "project/IniFile.h"

#include <utility>

#include "project/AtomicFile.h"
#include "project/BoundedRead.h"
#include "project/IniInteger.h"

namespace kestrava::project {

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)) {
  TBoundedRead read = ReadFileBounded(path_, kMaxIniBytes);
  if (read.status == TBoundedRead::TStatus::Read) {
    if (std::optional<TIniText> parsed = TIniText::Parse(read.bytes)) text_ = std::move(*parsed);
  }
  writable_ =
      read.status == TBoundedRead::TStatus::Read || read.status == TBoundedRead::TStatus::Missing;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback, size_t maxChars) const {
  return text_.ReadString(section, key, fallback, maxChars);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t fallback) const {
  return ReadProjectInteger(text_, section, key, fallback);
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return writable_ && text_.WriteString(section, key, value);
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  return WriteString(section, key, FormatProjectInteger(value));
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  return writable_ && text_.DeleteKey(section, key);
}

bool TIniFile::DeleteSection(std::string_view section) {
  return writable_ && text_.DeleteSection(section);
}

bool TIniFile::Commit() {
  return writable_ && ReplaceFileAtomically(path_, text_.Bytes());
}

}  // namespace kestrava::project

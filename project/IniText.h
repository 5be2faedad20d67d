#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrava::project {

// Largest profile file we read or write. A project of ordinary paths lists tens of thousands of
// pictures within it; the cap bounds what a hostile file can make us hold.
inline constexpr size_t kMaxIniBytes = size_t{4} << 20;
// Longest value a read returns, the limit of the profile functions' 2048-character buffer.
inline constexpr size_t kMaxIniValueChars = 2047;

// A profile (INI) file held in memory, edited in place line by line.
//
// Reading: a line "[name]" starts a section (the name runs to the last "]"); a line with "="
// whose first non-blank character is not ";" is a key; every other line belongs to no key.
// Section and key names match without regard to ASCII case, blanks around names and values are
// dropped, a value wholly enclosed in matching quotes (" or ') loses them, and the first of
// duplicate sections or keys is the one found. Lines end in CR LF, LF or a lone CR. Lines before
// the first header form a section without a name.
//
// Writing keeps every byte it does not have to change: an existing key keeps its line and only
// its value is replaced, a new key goes right after the last key of its section, a new section
// goes at the end of the file, and new lines take the file's own line ending.
class TIniText {
 public:
  TIniText();

  // Any bytes at all; no value when there are more than kMaxIniBytes.
  static std::optional<TIniText> Parse(std::string_view bytes);
  std::string Bytes() const;
  size_t ByteCount() const { return byteCount_; }

  // The value, or the fallback without its trailing blanks, cut to maxChars bytes.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback,
                         size_t maxChars = kMaxIniValueChars) const;
  // The whole value of a key that exists, before any cut.
  std::optional<std::string> FindValue(std::string_view section, std::string_view key) const;
  // Names of the sections that have one, and of the keys of a section, in file order.
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  // False, changing nothing, for what cannot be stored as one line (a line break in any part, a
  // key name that is empty, holds "=" or starts with "[" or ";") or would outgrow kMaxIniBytes.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes the first matching key line, or a whole section with its lines; true also when
  // there is nothing to remove.
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  struct TLine {
    // A key line without its ending, or a run of other lines with the endings of all but the last.
    std::string text;
    std::string_view eol;
    bool isKey = false;
  };
  struct TSection {
    std::string name;
    std::optional<TLine> header;  // none for the lines before the first header
    std::vector<TLine> body;
    std::unordered_map<std::string, size_t> keys;  // folded name -> first key line in body
    size_t keysEnd = 0;                            // one past the last key line in body
  };

  const TSection* FindSection(std::string_view section) const;
  TSection* FindSection(std::string_view section);
  void AppendLine(TSection& section, std::string_view text, std::string_view eol, bool isKey);
  void IndexKeys(TSection& section);
  void IndexSections();
  TLine* LastLine();
  void EndLastLine();

  std::string bom_;
  std::vector<TSection> sections_;  // sections_[0] holds the lines before the first header
  std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> first section
  std::string_view eol_;
  size_t byteCount_ = 0;
};

}  // namespace kestrava::project

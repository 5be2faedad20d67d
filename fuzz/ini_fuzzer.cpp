// Feeds arbitrary bytes to the profile-file reader and writer, and the project loader over it.
// Checks what the writer promises: an unedited file gives back its bytes, a write reads back,
// and no other key, section or byte before the edit changes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "project/IniText.h"
#include "project/ProfileText.h"
#include "project/ProjectFile.h"

namespace {

using kestrava::project::TIniText;

// Names the failed check's line: the fuzzer's own report stops at the abort.
void Fail(int line) {
  std::fprintf(stderr, "ini_fuzzer: check on line %d failed\n", line);
  std::abort();
}
#define Check(condition) ((condition) ? void() : Fail(__LINE__))

// Every section's key names and values, as a read sees them.
using TSnapshot = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

TSnapshot Snapshot(const TIniText& text) {
  std::vector<std::string> sections = text.SectionNames();
  sections.push_back("");
  TSnapshot snapshot;
  for (const std::string& section : sections) {
    auto& keys = snapshot[kestrava::project::AsciiLower(section)];
    if (!keys.empty()) continue;  // a later duplicate section is never read
    for (const std::string& key : text.KeyNames(section))
      keys.emplace_back(key, text.FindValue(section, key).value_or("\x01missing"));
  }
  return snapshot;
}

void CheckWrite(const TIniText& original, const TSnapshot& before, const std::string& section,
                const std::string& key) {
  TIniText text = original;
  const std::string value = "v=fuzz ]";
  if (!text.WriteString(section, key, value)) return;
  const std::string bytes = text.Bytes();
  Check(text.ByteCount() == bytes.size());
  Check(text.ReadString(section, key, "d") == value);
  const TIniText reread = TIniText::Parse(bytes).value();
  Check(reread.ReadString(section, key, "d") == value);
  TSnapshot after = Snapshot(reread);
  // Only the written key may differ: its value changes, or it is added at the end of its keys.
  auto& keys = after[kestrava::project::AsciiLower(kestrava::project::TrimBlanks(section))];
  const std::string folded = kestrava::project::AsciiLower(kestrava::project::TrimBlanks(key));
  // Duplicates of a key all read as the first one, so all of them read the new value.
  const auto mark = [&folded](auto& list) {
    bool marked = false;
    for (auto& [name, read] : list) {
      if (kestrava::project::AsciiLower(name) != folded) continue;
      read = "\x02written";
      marked = true;
    }
    return marked;
  };
  mark(keys);
  auto expected = before;
  auto& was = expected[kestrava::project::AsciiLower(kestrava::project::TrimBlanks(section))];
  const bool found = mark(was);
  if (!found) {
    Check(!keys.empty() && keys.back().second == "\x02written");
    was.push_back(keys.back());
  }
  Check(after == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava::project;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<TIniText> parsed = TIniText::Parse(bytes);
  if (!parsed) return 0;
  const TIniText& text = *parsed;
  Check(text.Bytes() == bytes && text.ByteCount() == size);

  // A hostile count would make the loader list its cap of placeholders on every run.
  if (text.ReadString("dataFiles", "filenum", "").size() < 4 &&
      text.ReadString("musicFiles", "musicnum", "").size() < 4) {
    const TProjectSettings loaded = ReadProjectSettings(text, StartupSettings("/"));
    SettingsMatch(text, loaded);
  }

  const TSnapshot before = Snapshot(text);
  for (const auto& [section, keys] : before) {
    CheckWrite(text, before, section, "new key");
    if (!keys.empty()) CheckWrite(text, before, section, keys.front().first);
  }
  CheckWrite(text, before, "brand new section", "k");

  // Whatever came before a new section stays a prefix of the file (the input may hold the
  // section already, and then the key goes inside it).
  TIniText appended = text;
  bool sectionIsNew = true;
  for (const std::string& name : text.SectionNames())
    if (AsciiLower(TrimBlanks(name)) == "zz fuzz") sectionIsNew = false;
  if (appended.WriteString("zz fuzz", "k", "v") && sectionIsNew)
    Check(appended.Bytes().starts_with(bytes));
  return 0;
}

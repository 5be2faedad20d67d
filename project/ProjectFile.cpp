#include "project/ProjectFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "project/BoundedRead.h"
#include "project/IniFile.h"
#include "project/IniInteger.h"
#include "project/ProfileText.h"
#include "project/ProjectKeys.h"

namespace kestrava::project {

namespace {

int32_t DefaultNumber(const TProjectKey& key) {
  return ParseProjectInteger(key.Default).value_or(0);
}

std::string ReadText(const TIniText& text, const TProjectKey& key) {
  return text.ReadString(key.Section, key.Key, key.Default);
}

int32_t ReadNumber(const TIniText& text, const TProjectKey& key) {
  return ReadProjectInteger(text, key.Section, key.Key, DefaultNumber(key));
}

// A fit mode other than 1 (fit) or 2 (fill) is the old way, shrink only.
int32_t ReadableFitMode(int32_t mode) {
  return mode == 1 || mode == 2 ? mode : 0;
}

// Only "windows" (in any letter case) makes a Windows saver; anything else is Linux.
TSaverTarget ReadTarget(const TIniText& text) {
  return AsciiLower(ReadText(text, kTargetKey)) == kWindowsTarget ? TSaverTarget::Windows
                                                                  : TSaverTarget::Linux;
}

std::vector<std::string> ReadList(const TIniText& text, const TProjectKey& countKey,
                                  const TProjectKey& entryKey) {
  const int32_t count =
      std::clamp<int32_t>(ReadNumber(text, countKey), 0, int32_t{kMaxProjectListEntries});
  std::vector<std::string> entries;
  entries.reserve(size_t(count));
  for (size_t i = 0; i < size_t(count); ++i)
    entries.push_back(text.ReadString(entryKey.Section, IndexedKey(entryKey, i), entryKey.Default));
  return entries;
}

// "52,86": the ticked styles in ascending order, each once.
std::string StylesText(const std::vector<int>& styles) {
  std::string text;
  for (const int style : styles)
    text += (text.empty() ? "" : ",") + std::to_string(style);
  return text;
}

// Edits key after key in memory until one cannot be stored; the file is only written when all
// of them were.
class TKeyWriter {
 public:
  explicit TKeyWriter(TIniFile& file) : file_(file) {}

  void Text(const TProjectKey& key, std::string_view value) { Put(key.Section, key.Key, value); }
  void Number(const TProjectKey& key, int64_t value) {
    Put(key.Section, key.Key, std::to_string(value));
  }
  void Remove(const TProjectKey& key) {
    if (!failed_) failed_ = !file_.DeleteKey(key.Section, key.Key);
  }
  void List(const TProjectKey& countKey, const TProjectKey& entryKey,
            const std::vector<std::string>& entries) {
    Number(countKey, int64_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
      Put(entryKey.Section, IndexedKey(entryKey, i), entries[i]);
  }

  bool Failed() const { return failed_; }

 private:
  void Put(std::string_view section, std::string_view key, std::string_view value) {
    if (failed_) return;
    failed_ = !file_.WriteString(section, key, value);
  }

  TIniFile& file_;
  bool failed_ = false;
};

}  // namespace

void SaveProjectFile(const std::filesystem::path& target, const TProjectSettings& settings) {
  TIniFile file(target);
  TKeyWriter write(file);
  write.Text(kSaverTypeKey, settings.Kind == TSaverKind::Pictures ? "pic" : "fla");
  write.List(kSourceCountKey, kSourceKey, settings.Sources);
  write.List(kMusicCountKey, kMusicKey, settings.MusicFiles);
  write.Number(kQuitModeKey, settings.QuitIndex);
  write.Number(kDelayTimeKey, settings.Interval);
  write.Text(kOutPathKey, settings.OutPath);
  write.Text(kOutFileNameKey, settings.OutName);
  write.Number(kOutTypeKey, settings.OutType);
  // Written as a load reads it back: ascending, each once, catalogue numbers only.
  write.Text(kStylesKey, StylesText(ParseStyles(StylesText(settings.Styles))));
  write.Number(kMaskKey, settings.Mask ? 1 : 0);
  write.Number(kFitModeKey, ReadableFitMode(settings.FitMode));
  write.Number(kSmoothKey, settings.Smooth ? 1 : 0);
  if (settings.Target == TSaverTarget::Windows)
    write.Text(kTargetKey, kWindowsTarget);
  else
    write.Remove(kTargetKey);
  // All or nothing: a key that cannot be stored leaves the file on disk as it was.
  if (write.Failed() || !file.Commit())
    throw EProjectWriteError("Unable to write to " + target.string());
}

TProjectSettings LoadProjectFile(const std::filesystem::path& path,
                                 const TProjectSettings& current) {
  return ReadProjectSettings(TIniFile(path).Text(), current);
}

void CheckProjectReadable(const std::filesystem::path& path) {
  using TStatus = TBoundedRead::TStatus;
  const TBoundedRead read = ReadFileBounded(path, kMaxIniBytes);
  std::string reason;
  switch (read.status) {
    case TStatus::Read:
    case TStatus::Missing:
      return;
    case TStatus::Unreadable:
      reason = read.error ? std::strerror(read.error) : "not a regular file";
      break;
    case TStatus::TooLarge:
      reason = "larger than " + std::to_string(kMaxIniBytes >> 20) +
               " MB, more than a project file can be";
      break;
  }
  throw EProjectReadError("Cannot open project " + path.string() + ": " + reason);
}

TProjectSettings ReadProjectSettings(const TIniText& text, const TProjectSettings& current) {
  TProjectSettings settings = current;
  const std::string type = ReadText(text, kSaverTypeKey);
  if (type == "pic") settings.Kind = TSaverKind::Pictures;
  if (type == "fla") settings.Kind = TSaverKind::Flash;
  settings.Sources = ReadList(text, kSourceCountKey, kSourceKey);
  settings.MusicFiles = ReadList(text, kMusicCountKey, kMusicKey);
  settings.QuitIndex = std::clamp<int32_t>(ReadNumber(text, kQuitModeKey), -1, 4);
  settings.Interval = ReadNumber(text, kDelayTimeKey);
  settings.OutPath = ReadText(text, kOutPathKey);
  settings.OutName = ReadText(text, kOutFileNameKey);
  settings.OutType = std::clamp<int32_t>(ReadNumber(text, kOutTypeKey), -1, 1);
  settings.Styles = ParseStyles(ReadText(text, kStylesKey));
  settings.Mask = ReadNumber(text, kMaskKey) == 1;
  settings.FitMode = ReadableFitMode(ReadNumber(text, kFitModeKey));
  settings.Smooth = ReadNumber(text, kSmoothKey) == 1;
  settings.Target = ReadTarget(text);
  if (!settings.Sources.empty() && settings.OutName.empty())
    settings.OutName = OutputNameFromSource(settings.Sources.front());
  return settings;
}

std::vector<int> ParseStyles(std::string_view text) {
  std::vector<int> styles;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::optional<int32_t> style = ParseProjectInteger(text.substr(0, comma));
    if (style && *style >= 1 && *style <= kCatalogueStyles) styles.push_back(int(*style));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  }
  std::sort(styles.begin(), styles.end());
  styles.erase(std::unique(styles.begin(), styles.end()), styles.end());
  return styles;
}

bool ProjectMatchesFile(const std::filesystem::path& path, const TProjectSettings& current) {
  return SettingsMatch(TIniFile(path).Text(), current);
}

bool SettingsMatch(const TIniText& text, const TProjectSettings& current) {
  const std::string_view type = current.Kind == TSaverKind::Pictures ? "pic" : "fla";
  return ReadText(text, kSaverTypeKey) == type &&
         ReadList(text, kSourceCountKey, kSourceKey) == current.Sources &&
         ReadList(text, kMusicCountKey, kMusicKey) == current.MusicFiles &&
         ReadNumber(text, kQuitModeKey) == current.QuitIndex &&
         ReadNumber(text, kDelayTimeKey) == current.Interval &&
         ReadText(text, kOutPathKey) == current.OutPath &&
         ReadText(text, kOutFileNameKey) == current.OutName &&
         ReadNumber(text, kOutTypeKey) == current.OutType &&
         ParseStyles(ReadText(text, kStylesKey)) == current.Styles &&
         (ReadNumber(text, kMaskKey) == 1) == current.Mask && ReadTarget(text) == current.Target &&
         ReadableFitMode(ReadNumber(text, kFitModeKey)) == ReadableFitMode(current.FitMode) &&
         (ReadNumber(text, kSmoothKey) == 1) == current.Smooth;
}

std::string OutputNameFromSource(std::string_view source) {
  const size_t slash = source.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? source : source.substr(slash + 1);
  return std::string(DropLastCharacters(name, 4));
}

}  // namespace kestrava::project

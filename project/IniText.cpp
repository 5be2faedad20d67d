#include "project/IniText.h"

#include <algorithm>
#include <utility>

#include "project/ProfileText.h"

namespace kestrava::project {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLf = "\n";
constexpr std::string_view kCr = "\r";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The name of a section header line, which runs to the last "]" of the line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  while (!line.empty() && IsBlank(line.front()))
    line.remove_prefix(1);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// Comment lines may hold "=" too; they are never keys.
bool IsKeyLine(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  return !text.empty() && text.front() != ';' && text.find('=') != std::string_view::npos;
}

std::string_view KeyNameOf(std::string_view keyLine) {
  return TrimBlanks(keyLine.substr(0, keyLine.find('=')));
}

std::string_view ValueOf(std::string_view keyLine) {
  std::string_view value = TrimBlanks(keyLine.substr(keyLine.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

bool IsOneLine(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos;
}

// A new line must read back as the same key: not as a header, a comment or a byte order mark.
bool IsStorableKeyName(std::string_view name) {
  return !name.empty() && name.front() != '[' && name.front() != ';' &&
         !name.starts_with(kUtf8Bom) && name.find_first_of("=\r\n") == std::string_view::npos;
}

}  // namespace

TIniText::TIniText() : sections_(1), eol_(kCrLf) {
  IndexSections();
}

std::optional<TIniText> TIniText::Parse(std::string_view bytes) {
  if (bytes.size() > kMaxIniBytes) return std::nullopt;
  TIniText ini;
  ini.byteCount_ = bytes.size();
  if (bytes.starts_with(kUtf8Bom)) {
    ini.bom_ = kUtf8Bom;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  bool eolSeen = false;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    std::string_view eol;
    if (end < bytes.size()) {
      if (bytes[end] == '\n')
        eol = kLf;
      else
        eol = end + 1 < bytes.size() && bytes[end + 1] == '\n' ? kCrLf : kCr;
    }
    if (!eolSeen && !eol.empty()) {
      ini.eol_ = eol;
      eolSeen = true;
    }
    const std::string_view line = bytes.substr(at, end - at);
    at = end + eol.size();
    if (const auto name = HeaderName(line)) {
      TSection& section = ini.sections_.emplace_back();
      section.name = *name;
      section.header = TLine{std::string(line), eol, false};
      continue;
    }
    ini.AppendLine(ini.sections_.back(), line, eol, IsKeyLine(line));
  }
  for (TSection& section : ini.sections_)
    ini.IndexKeys(section);
  ini.IndexSections();
  return ini;
}

std::string TIniText::Bytes() const {
  std::string bytes;
  bytes.reserve(byteCount_);
  bytes += bom_;
  const auto put = [&bytes](const TLine& line) {
    bytes += line.text;
    bytes += line.eol;
  };
  for (const TSection& section : sections_) {
    if (section.header) put(*section.header);
    for (const TLine& line : section.body)
      put(line);
  }
  return bytes;
}

std::string TIniText::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback, size_t maxChars) const {
  const std::optional<std::string> value = FindValue(section, key);
  return std::string(CutToBytes(value ? *value : TrimTrailingBlanks(fallback), maxChars));
}

std::optional<std::string> TIniText::FindValue(std::string_view section,
                                               std::string_view key) const {
  const TSection* found = FindSection(section);
  if (!found) return std::nullopt;
  const auto line = found->keys.find(AsciiLower(TrimBlanks(key)));
  if (line == found->keys.end()) return std::nullopt;
  return std::string(ValueOf(found->body[line->second].text));
}

std::vector<std::string> TIniText::SectionNames() const {
  std::vector<std::string> names;
  for (size_t i = 1; i < sections_.size(); ++i)
    if (!sections_[i].name.empty()) names.push_back(sections_[i].name);
  return names;
}

std::vector<std::string> TIniText::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const TSection* found = FindSection(section))
    for (const TLine& line : found->body)
      if (line.isKey) names.emplace_back(KeyNameOf(line.text));
  return names;
}

bool TIniText::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view sectionName = TrimBlanks(section);
  const std::string_view keyName = TrimBlanks(key);
  if (!IsOneLine(sectionName) || !IsStorableKeyName(keyName) || !IsOneLine(value)) return false;
  const std::string folded = AsciiLower(keyName);
  std::string text = std::string(keyName) + "=";
  text += value;

  TSection* target = FindSection(sectionName);
  if (!target) {
    const TLine* last = LastLine();
    const size_t growth = (last && last->eol.empty() ? eol_.size() : 0) + sectionName.size() + 2 +
                          eol_.size() + text.size() + eol_.size();
    if (growth > kMaxIniBytes - byteCount_) return false;
    EndLastLine();
    TSection& added = sections_.emplace_back();
    added.name = sectionName;
    added.header = TLine{"[" + added.name + "]", eol_, false};
    byteCount_ += added.header->text.size() + eol_.size();
    sectionIndex_.try_emplace(AsciiLower(added.name), sections_.size() - 1);
    target = &added;
  }

  const auto existing = target->keys.find(folded);
  if (existing != target->keys.end()) {
    // Only the value changes: the name and the blanks around the "=" stay byte for byte.
    TLine& line = target->body[existing->second];
    size_t valueStart = line.text.find('=') + 1;
    while (valueStart < line.text.size() && IsBlank(line.text[valueStart]))
      ++valueStart;
    std::string replaced = line.text.substr(0, valueStart);
    replaced += value;
    if (replaced.size() > line.text.size() &&
        replaced.size() - line.text.size() > kMaxIniBytes - byteCount_)
      return false;
    byteCount_ = byteCount_ - line.text.size() + replaced.size();
    line.text = std::move(replaced);
    return true;
  }

  const size_t at = target->keysEnd;
  TLine* before = at > 0 ? &target->body[at - 1] : target->header ? &*target->header : nullptr;
  const size_t ending = before && before->eol.empty() ? eol_.size() : 0;
  // The line before decides the new line's ending: in a file of mixed endings, a lone CR put
  // before an empty LF line would merge the two into one CR LF.
  const std::string_view eol = before && !before->eol.empty() ? before->eol : eol_;
  const size_t growth = ending + text.size() + eol.size();
  if (growth > kMaxIniBytes - byteCount_) return false;
  if (ending) before->eol = eol_;
  byteCount_ += growth;
  target->body.insert(target->body.begin() + std::ptrdiff_t(at), TLine{std::move(text), eol, true});
  target->keys.emplace(folded, at);
  target->keysEnd = at + 1;
  return true;
}

bool TIniText::DeleteKey(std::string_view section, std::string_view key) {
  TSection* found = FindSection(section);
  if (!found) return true;
  const auto line = found->keys.find(AsciiLower(TrimBlanks(key)));
  if (line == found->keys.end()) return true;
  const TLine& removed = found->body[line->second];
  byteCount_ -= removed.text.size() + removed.eol.size();
  found->body.erase(found->body.begin() + std::ptrdiff_t(line->second));
  IndexKeys(*found);
  return true;
}

bool TIniText::DeleteSection(std::string_view section) {
  const auto index = sectionIndex_.find(AsciiLower(TrimBlanks(section)));
  if (index == sectionIndex_.end()) return true;
  TSection& found = sections_[index->second];
  if (!found.header) {
    // The lines before the first header have no header to remove: only their keys go.
    std::erase_if(found.body, [this](const TLine& line) {
      if (line.isKey) byteCount_ -= line.text.size() + line.eol.size();
      return line.isKey;
    });
    IndexKeys(found);
    return true;
  }
  byteCount_ -= found.header->text.size() + found.header->eol.size();
  for (const TLine& line : found.body)
    byteCount_ -= line.text.size() + line.eol.size();
  sections_.erase(sections_.begin() + std::ptrdiff_t(index->second));
  IndexSections();
  return true;
}

const TIniText::TSection* TIniText::FindSection(std::string_view section) const {
  const auto found = sectionIndex_.find(AsciiLower(TrimBlanks(section)));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

TIniText::TSection* TIniText::FindSection(std::string_view section) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(section));
}

void TIniText::AppendLine(TSection& section, std::string_view text, std::string_view eol,
                          bool isKey) {
  // Runs of lines that are not keys are never edited, so they are kept as one piece.
  if (!isKey && !section.body.empty() && !section.body.back().isKey) {
    TLine& run = section.body.back();
    run.text += run.eol;
    run.text += text;
    run.eol = eol;
    return;
  }
  section.body.push_back(TLine{std::string(text), eol, isKey});
}

void TIniText::IndexKeys(TSection& section) {
  section.keys.clear();
  section.keysEnd = 0;
  for (size_t i = 0; i < section.body.size(); ++i) {
    if (!section.body[i].isKey) continue;
    section.keys.try_emplace(AsciiLower(KeyNameOf(section.body[i].text)), i);
    section.keysEnd = i + 1;
  }
}

void TIniText::IndexSections() {
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i)
    sectionIndex_.try_emplace(AsciiLower(sections_[i].name), i);
}

TIniText::TLine* TIniText::LastLine() {
  for (auto section = sections_.rbegin(); section != sections_.rend(); ++section) {
    if (!section->body.empty()) return &section->body.back();
    if (section->header) return &*section->header;
  }
  return nullptr;
}

void TIniText::EndLastLine() {
  TLine* last = LastLine();
  if (!last || !last->eol.empty()) return;
  last->eol = eol_;
  byteCount_ += eol_.size();
}

}  // namespace kestrava::project

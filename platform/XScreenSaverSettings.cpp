#include "platform/XScreenSaverSettings.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace kestrava {

namespace {

constexpr size_t kNone = std::string::npos;

// What XScreenSaver strips around a line and a value.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
// isspace() in the C locale, which it uses inside a program entry.
bool IsSpace(char c) {
  return IsBlank(c) || c == '\v' || c == '\f';
}

// One record as XScreenSaver reads it: its physical lines [Begin, End) in the file, and the text
// they stand for once continuation lines are joined and escapes resolved, each character with
// the offset in the file that it comes from.
struct TRecord {
  size_t Begin = 0;
  size_t End = 0;
  bool OpenAtEnd = false;  // the file ends while a continuation line is awaited
  std::string Text;
  std::vector<size_t> Offset;
  std::string Key;       // empty for comments, blank lines and lines without ":"
  size_t Colon = kNone;  // in Text
};

// "\n", "\r" and "\t" stand for themselves, a backslash before anything else is dropped, and a
// backslash that ends the record vanishes.
void ResolveEscapes(const std::string& joined, const std::vector<size_t>& offsets, TRecord& r) {
  for (size_t i = 0; i < joined.size(); ++i) {
    char c = joined[i];
    if (c == '\\') {
      if (i + 1 == joined.size()) break;
      const char next = joined[i + 1];
      c = next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
      r.Text += c;
      r.Offset.push_back(offsets[i]);
      ++i;
      continue;
    }
    r.Text += c;
    r.Offset.push_back(offsets[i]);
  }
}

void FindKey(TRecord& r) {
  size_t start = 0;
  while (start < r.Text.size() && IsBlank(r.Text[start]))
    ++start;
  if (start == r.Text.size()) return;
  const char first = r.Text[start];
  if (first == '#' || first == '!' || first == ';') return;
  const size_t colon = r.Text.find(':', start);
  if (colon == kNone) return;
  r.Key = r.Text.substr(start, colon - start);
  r.Colon = colon;
}

// The line break the file is written with: that of its first line, CR LF or LF (also for a file
// of one line), so that what is added matches what is there.
std::string_view LineBreakOf(std::string_view text) {
  const size_t newline = text.find('\n');
  return newline != kNone && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

// XScreenSaver joins a line ending in backslash-newline with the next, as long as what it has
// gathered is longer than that pair alone (a record that is a bare "\" line ends there). A CR
// before the newline belongs to the line break: files written on Windows keep their records.
TRecord ReadRecord(std::string_view text, size_t begin) {
  TRecord r;
  r.Begin = begin;
  std::string joined;
  std::vector<size_t> offsets;
  size_t pos = begin;
  while (true) {
    const size_t newline = text.find('\n', pos);
    const size_t lineEnd = newline == kNone ? text.size() : newline + 1;
    for (size_t i = pos; i < lineEnd; ++i) {
      joined += text[i];
      offsets.push_back(i);
    }
    pos = lineEnd;
    const size_t length = joined.size();
    const size_t breakLength = newline != kNone && length > 1 && joined[length - 2] == '\r' ? 3 : 2;
    const bool continues =
        newline != kNone && length > breakLength && joined[length - breakLength] == '\\';
    r.OpenAtEnd = continues;
    if (!continues) break;
    joined.resize(length - breakLength);
    offsets.resize(length - breakLength);
    if (pos == text.size()) break;
  }
  r.End = pos;
  ResolveEscapes(joined, offsets, r);
  FindKey(r);
  return r;
}

std::vector<TRecord> ReadRecords(std::string_view text) {
  std::vector<TRecord> records;
  for (size_t pos = 0; pos < text.size(); pos = records.back().End)
    records.push_back(ReadRecord(text, pos));
  return records;
}

// The last record of that name (the one that counts), matched without regard to case.
const TRecord* FindRecord(const std::vector<TRecord>& records, std::string_view key) {
  const auto same = [&](const TRecord& r) {
    return std::equal(r.Key.begin(), r.Key.end(), key.begin(), key.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) ==
             std::tolower(static_cast<unsigned char>(b));
    });
  };
  const auto found = std::find_if(records.rbegin(), records.rend(), same);
  return found == records.rend() ? nullptr : &*found;
}

// As XScreenSaver compares commands: runs of blanks become one space up to the first quote,
// backquote or backslash, after which everything is kept; trailing white space goes.
std::string NormalizeCommand(std::string_view command) {
  std::string out;
  for (size_t i = 0; i < command.size();) {
    const char c = command[i];
    if (c == '\'' || c == '"' || c == '`' || c == '\\') {
      out.append(command.substr(i));
      break;
    }
    if (c == ' ' || c == '\t') {
      while (i < command.size() && (command[i] == ' ' || command[i] == '\t'))
        ++i;
      out += ' ';
      continue;
    }
    out += c;
    ++i;
  }
  while (!out.empty() && IsSpace(out.back()))
    out.pop_back();
  return out;
}

struct TProgram {
  size_t Dash = kNone;  // the "-" that disables it, in the record's Text
  std::string Command;  // normalized
};

// One line of the list: [-] [visual:] ["name"] command.
TProgram ReadProgram(const std::string& t, size_t i, size_t end) {
  TProgram p;
  const auto skipSpace = [&] {
    while (i < end && IsSpace(t[i]))
      ++i;
  };
  skipSpace();
  if (i < end && t[i] == '-') {
    p.Dash = i++;
    skipSpace();
  }
  const size_t word = i;
  while (i < end && t[i] != ':' && t[i] != '"' && !IsSpace(t[i]))
    ++i;
  if (i < end && t[i] == ':') {
    ++i;
    skipSpace();
  } else {
    i = word;
  }
  if (i < end && t[i] == '"') {
    ++i;
    while (i < end && t[i] != '"')
      ++i;
    if (i < end) ++i;
    skipSpace();
  }
  p.Command = NormalizeCommand(std::string_view(t).substr(i, end - i));
  return p;
}

// Every non-blank line of the value is one program, in the order that "selected" counts.
std::vector<TProgram> ReadPrograms(const TRecord& r) {
  const std::string& t = r.Text;
  size_t begin = r.Colon + 1;
  size_t end = t.size();
  while (begin < end && IsBlank(t[begin]))
    ++begin;
  while (end > begin && IsBlank(t[end - 1]))
    --end;
  std::vector<TProgram> programs;
  for (size_t start = begin; start < end;) {
    while (start < end && (t[start] == ' ' || t[start] == '\t' || t[start] == '\n'))
      ++start;
    if (start == end) break;
    size_t stop = start;
    while (stop < end && t[stop] != '\n')
      ++stop;
    programs.push_back(ReadProgram(t, start, stop));
    start = stop + 1;
  }
  return programs;
}

std::string Escape(std::string_view s) {
  std::string out;
  for (const char c : s) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

// One line of the list in the layout XScreenSaver writes: indented, ending in an escaped line
// break and a continuation.
std::string ProgramLine(std::string_view entry, std::string_view lineBreak) {
  return "\t\t\t\t" + Escape(entry) + " \\n\\" + std::string(lineBreak);
}

// The entry for the file, refused unless the file reads it back as this very command.
std::string NewEntry(const std::string& command, std::string_view displayName) {
  std::string name;
  for (const char c : displayName)
    if (c != '"' && c != '\\' && c != '\n' && c != '\r') name += c;
  const std::string entry = name.empty() ? command : "\"" + name + "\"  " + command;
  const std::vector<TRecord> check = ReadRecords("programs:\\\n" + ProgramLine(entry, "\n") + "\n");
  const std::vector<TProgram> read =
      check.size() == 1 ? ReadPrograms(check[0]) : std::vector<TProgram>{};
  if (command.empty() || read.size() != 1 || read[0].Dash != kNone || read[0].Command != command)
    throw std::invalid_argument("not a command XScreenSaver can list: " + command);
  return entry;
}

struct TEdit {
  size_t Offset;
  size_t Erase;
  std::string Insert;
};

std::string ApplyEdits(std::string_view text, std::vector<TEdit> edits) {
  std::stable_sort(edits.begin(), edits.end(),
                   [](const TEdit& a, const TEdit& b) { return a.Offset < b.Offset; });
  std::string out;
  size_t pos = 0;
  for (const TEdit& e : edits) {
    out.append(text.substr(pos, e.Offset - pos));
    out += e.Insert;
    pos = e.Offset + e.Erase;
  }
  out.append(text.substr(pos));
  return out;
}

// Keeps the name, the colon and the blanks after it as they are written.
TEdit ReplaceValue(std::string_view text, const TRecord& r, const std::string& value,
                   std::string_view lineBreak) {
  size_t from = r.Offset[r.Colon] + (text[r.Offset[r.Colon]] == '\\' ? 2 : 1);
  while (from < r.End && (text[from] == ' ' || text[from] == '\t'))
    ++from;
  return {from, r.End - from, value + std::string(lineBreak)};
}

// A blank where the "-" was keeps the rest of the line in place.
TEdit Enable(std::string_view text, const TRecord& r, size_t dash) {
  const size_t at = r.Offset[dash];
  const size_t width = text[at] == '\\' ? 2 : 1;
  return {at, width, std::string(width, ' ')};
}

// The new entry goes after the last one, inside the record's continuation lines; a line break
// comes first unless the value is empty or already ends in one.
TEdit AppendProgram(std::string_view text, const TRecord& r, std::string_view entry,
                    std::string_view lineBreak) {
  size_t at = r.End;
  if (!r.OpenAtEnd && at > r.Begin && text[at - 1] == '\n') {
    --at;
    if (at > r.Begin && text[at - 1] == '\r') --at;
  }
  bool needsBreak = false;
  for (size_t i = r.Text.size(); i-- > r.Colon + 1;) {
    if (r.Offset[i] >= at) continue;
    const char c = r.Text[i];
    if (c == ' ' || c == '\t' || c == '\r') continue;
    needsBreak = c != '\n';
    break;
  }
  const std::string escapedBreak = needsBreak ? " \\n\\" + std::string(lineBreak) : "";
  return {at, 0, escapedBreak + ProgramLine(entry, lineBreak)};
}

// What must follow the text before new records can start on a line of their own.
std::string RecordBreak(std::string_view text, std::string_view lineBreak) {
  if (text.empty()) return {};
  std::string joined(text);
  std::string added = text.back() == '\n' ? "" : std::string(lineBreak);
  joined += added;
  if (ReadRecords(joined).back().OpenAtEnd) added += lineBreak;
  return added;
}

}  // namespace

std::string SaverCommand(std::string_view saverPath) {
  if (saverPath.find_first_of("\n\r") != std::string_view::npos)
    throw std::invalid_argument("a saver path cannot hold a line break");
  const bool plain = !saverPath.empty() && saverPath.front() != '-' &&
                     std::all_of(saverPath.begin(), saverPath.end(), [](char c) {
                       return std::isalnum(static_cast<unsigned char>(c)) ||
                              std::string_view("/._+,@%-").find(c) != std::string_view::npos;
                     });
  if (plain) return std::string(saverPath) + " -root";
  std::string quoted = "'";
  for (const char c : saverPath) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  quoted += "'";
  return "/usr/bin/env " + quoted + " -root";
}

std::string SelectSaverProgram(std::string_view settingsText, std::string_view command,
                               std::string_view displayName) {
  size_t lead = 0;
  while (lead < command.size() && IsSpace(command[lead]))
    ++lead;
  const std::string wanted = NormalizeCommand(command.substr(lead));
  const std::string entry = NewEntry(wanted, displayName);

  const std::string_view lineBreak = LineBreakOf(settingsText);
  const std::vector<TRecord> records = ReadRecords(settingsText);
  const TRecord* programs = FindRecord(records, "programs");
  const TRecord* mode = FindRecord(records, "mode");
  const TRecord* selected = FindRecord(records, "selected");

  std::vector<TEdit> edits;
  size_t index = 0;
  if (programs) {
    const std::vector<TProgram> list = ReadPrograms(*programs);
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const TProgram& p) { return p.Command == wanted; });
    index = static_cast<size_t>(found - list.begin());
    if (found == list.end())
      edits.push_back(AppendProgram(settingsText, *programs, entry, lineBreak));
    else if (found->Dash != kNone)
      edits.push_back(Enable(settingsText, *programs, found->Dash));
  }

  const std::string br(lineBreak);
  std::string newRecords;
  if (mode)
    edits.push_back(ReplaceValue(settingsText, *mode, "one", lineBreak));
  else
    newRecords += "mode:\t\tone" + br;
  if (selected)
    edits.push_back(ReplaceValue(settingsText, *selected, std::to_string(index), lineBreak));
  else
    newRecords += "selected:\t" + std::to_string(index) + br;
  if (!programs) newRecords += "programs:\t\t\\" + br + ProgramLine(entry, lineBreak) + br;
  // New records go before the list, where XScreenSaver keeps them, or at the end of the file.
  if (!newRecords.empty()) {
    if (programs)
      edits.push_back({programs->Begin, 0, newRecords});
    else
      edits.push_back({settingsText.size(), 0, RecordBreak(settingsText, lineBreak) + newRecords});
  }
  return ApplyEdits(settingsText, std::move(edits));
}

}  // namespace kestrava

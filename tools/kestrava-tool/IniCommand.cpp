// `kestrava-tool ini FILE`: profile-file commands on stdin, answered in the form of the recorded
// platform answers, so that a recorded script replayed here can be compared answer by answer.
// Integers are read by the project file's rule, not the platform's.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "project/AtomicFile.h"
#include "project/BoundedRead.h"
#include "project/IniFile.h"
#include "project/IniInteger.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

namespace fs = std::filesystem;
using project::TIniFile;

class EIniScript : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An argument; no value for NULL, the platform's null pointer.
using TArg = std::optional<std::string>;
using TArgs = std::span<const TArg>;

// The buffer the project file reads with, when a command names none.
constexpr size_t kDefaultBuffer = project::kMaxIniValueChars + 1;
constexpr size_t kMaxBuffer = project::kMaxIniBytes + 2;
// Longer strings are shown as their first and last bytes around their length and hash.
constexpr size_t kShownWhole = 64, kShownHead = 48, kShownTail = 16;

struct TEscape {
  char letter;
  char byte;
};
constexpr TEscape kEscapes[] = {{'r', '\r'},  {'n', '\n'}, {'t', '\t'}, {'0', '\0'},
                                {'\\', '\\'}, {'"', '"'},  {'\'', '\''}};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

size_t Count(std::string_view text, size_t max, const char* what) {
  size_t value = 0;
  if (text.empty()) throw EIniScript(std::string("not a ") + what + ": ''");
  for (const char c : text) {
    if (c < '0' || c > '9' || value > max / 10)
      throw EIniScript(std::string("not a ") + what + ": '" + std::string(text) + "'");
    value = value * 10 + size_t(c - '0');
  }
  if (value > max) throw EIniScript(std::string(what) + " too large: " + std::string(text));
  return value;
}

// "..." with C escapes (\r \n \t \0 \\ \" \xNN), optionally repeated: "ab"*3.
std::string Quoted(std::string_view line, size_t& at) {
  std::string text;
  for (++at;; ++at) {
    if (at >= line.size()) throw EIniScript("unterminated string");
    const char c = line[at];
    if (c == '"') break;
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++at >= line.size()) throw EIniScript("unterminated string");
    if (line[at] == 'x') {
      const int high = at + 1 < line.size() ? HexValue(line[at + 1]) : -1;
      const int low = at + 2 < line.size() ? HexValue(line[at + 2]) : -1;
      if (high < 0 || low < 0) throw EIniScript("bad \\x escape");
      text += static_cast<char>(high * 16 + low);
      at += 2;
      continue;
    }
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [&](const TEscape& e) { return e.letter == line[at]; });
    if (escape == std::end(kEscapes)) throw EIniScript(std::string("unknown escape \\") + line[at]);
    text += escape->byte;
  }
  ++at;
  if (at < line.size() && line[at] == '*') {
    const size_t end = std::min(line.find_first_of(" \t", at), line.size());
    const size_t times = Count(line.substr(at + 1, end - at - 1), project::kMaxIniBytes, "count");
    if (!text.empty() && times > project::kMaxIniBytes / text.size())
      throw EIniScript("repeated string too long");
    std::string repeated;
    for (size_t i = 0; i < times; ++i)
      repeated += text;
    text = std::move(repeated);
    at = end;
  }
  if (at < line.size() && line[at] != ' ' && line[at] != '\t')
    throw EIniScript("text after a closing quote");
  return text;
}

std::vector<TArg> Words(std::string_view line) {
  std::vector<TArg> words;
  size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) break;
    if (line[at] == '"') {
      words.emplace_back(Quoted(line, at));
      continue;
    }
    const size_t end = std::min(line.find_first_of(" \t", at), line.size());
    const std::string_view word = line.substr(at, end - at);
    words.push_back(word == "NULL" ? TArg() : TArg(std::string(word)));
    at = end;
  }
  return words;
}

uint32_t Fnv1a(std::string_view bytes) {
  uint32_t hash = 0x811C9DC5u;
  for (const char c : bytes)
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
  return hash;
}

std::string Escaped(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [c](const TEscape& e) { return e.byte == c; });
    if (escape != std::end(kEscapes) && c != '\'') {
      text += '\\';
      text += escape->letter;
    } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      text += hex;
    } else {
      text += c;
    }
  }
  return text + "\"";
}

std::string Shown(std::string_view bytes) {
  if (bytes.size() <= kShownWhole) return Escaped(bytes);
  char middle[64];
  std::snprintf(middle, sizeof middle, "...<%zu bytes fnv1a=%08x>...", bytes.size(), Fnv1a(bytes));
  return Escaped(bytes.substr(0, kShownHead)) + middle +
         Escaped(bytes.substr(bytes.size() - kShownTail));
}

std::string Text(const TArg& arg, const char* usage) {
  if (!arg) throw EIniScript(std::string("usage: ") + usage + " (NULL not allowed here)");
  return *arg;
}

void ExpectCount(TArgs args, size_t min, size_t max, const char* usage) {
  if (args.size() < min || args.size() > max) throw EIniScript(std::string("usage: ") + usage);
}

size_t BufferSize(TArgs args, size_t at, const char* usage) {
  return args.size() > at ? Count(Text(args[at], usage), kMaxBuffer, "buffer size")
                          : kDefaultBuffer;
}

// A list of names as the platform returns it: each ended by a zero byte, cut to the buffer so
// that the list still ends in two zero bytes.
std::pair<size_t, std::string> NameList(const std::vector<std::string>& names, size_t buffer) {
  std::string list;
  for (const std::string& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= buffer) return {list.size(), list};
  if (buffer < 2) return {0, ""};
  return {buffer - 2, list.substr(0, buffer - 2) + '\0'};
}

void Raw(const fs::path& file, TArgs args) {
  const char* usage = "raw \"BYTES\"";
  ExpectCount(args, 1, 1, usage);
  const std::string bytes = Text(args[0], usage);
  if (!project::ReplaceFileAtomically(file, bytes))
    throw EIniScript("raw: cannot write " + file.string());
  std::cout << "raw wrote " << bytes.size() << " bytes\n";
}

void Delete(const fs::path& file, TArgs args) {
  ExpectCount(args, 0, 0, "delete");
  std::error_code error;
  std::cout << "delete ret=" << (fs::remove(file, error) ? 1 : 0) << '\n';
}

void Write(const fs::path& file, TArgs args) {
  ExpectCount(args, 3, 3, "write SECTION KEY VALUE");
  bool ok = false;
  if (args[0]) {
    TIniFile ini(file);
    if (!args[1])
      ok = ini.DeleteSection(*args[0]);
    else if (!args[2])
      ok = ini.DeleteKey(*args[0], *args[1]);
    else
      ok = ini.WriteString(*args[0], *args[1], *args[2]);
    ok = ok && ini.Commit();
  }
  std::cout << "write ret=" << (ok ? 1 : 0) << '\n';
}

void Str(const fs::path& file, TArgs args) {
  const char* usage = "str SECTION KEY DEFAULT [BUFSIZE]";
  ExpectCount(args, 3, 4, usage);
  const size_t buffer = BufferSize(args, 3, usage);
  const TIniFile ini(file);
  std::pair<size_t, std::string> answer;
  if (!args[0]) {
    answer = NameList(ini.Text().SectionNames(), buffer);
  } else if (!args[1]) {
    answer = NameList(ini.Text().KeyNames(*args[0]), buffer);
  } else {
    const std::string value =
        buffer == 0 ? std::string()
                    : ini.ReadString(*args[0], *args[1], args[2].value_or(""), buffer - 1);
    answer = {value.size(), value};
  }
  std::cout << "str ret=" << answer.first << " value=" << Shown(answer.second) << '\n';
}

void Names(const fs::path& file, TArgs args) {
  const char* usage = "names [BUFSIZE]";
  ExpectCount(args, 0, 1, usage);
  const auto [count, list] =
      NameList(TIniFile(file).Text().SectionNames(), BufferSize(args, 0, usage));
  std::cout << "names ret=" << count << " data=" << Shown(list) << '\n';
}

void Int(const fs::path& file, TArgs args) {
  const char* usage = "int SECTION KEY DEFAULT";
  ExpectCount(args, 3, 3, usage);
  const std::string fallbackText = Text(args[2], usage);
  const std::optional<int32_t> fallback = project::ParseProjectInteger(fallbackText);
  if (!fallback) throw EIniScript("not a number: '" + fallbackText + "'");
  const int32_t value =
      TIniFile(file).ReadInteger(Text(args[0], usage), Text(args[1], usage), *fallback);
  std::cout << "int ret=" << static_cast<uint32_t>(value) << " (as int " << value << ")\n";
}

void Dump(const fs::path& file, TArgs args) {
  ExpectCount(args, 0, 0, "dump");
  using TStatus = project::TBoundedRead::TStatus;
  const project::TBoundedRead read = project::ReadFileBounded(file, project::kMaxIniBytes);
  switch (read.status) {
    case TStatus::Missing:
      std::cout << "file: missing\n";
      return;
    case TStatus::Unreadable:
      std::cout << "file: unreadable\n";
      return;
    case TStatus::TooLarge:
      std::cout << "file: too large\n";
      return;
    case TStatus::Read:
      break;
  }
  const std::string_view bytes = read.bytes;
  char head[64];
  std::snprintf(head, sizeof head, "file: %zu bytes fnv1a=%08x\n", bytes.size(), Fnv1a(bytes));
  std::cout << head;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    if (end < bytes.size())
      end += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
    std::cout << "  | " << Shown(bytes.substr(at, end - at)) << '\n';
    at = end;
  }
  std::cout << "end\n";
}

struct TCommand {
  const char* name;
  void (*run)(const fs::path&, TArgs);
};

constexpr TCommand kCommands[] = {
    {"raw", Raw},     {"delete", Delete}, {"write", Write}, {"str", Str},
    {"names", Names}, {"int", Int},       {"dump", Dump},
};

void RunLine(const fs::path& file, std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // Accept the recorded files' command lines as they stand, prompt included.
  if (line.starts_with("> ")) line.remove_prefix(2);
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line[start] == '#') return;
  const std::vector<TArg> words = Words(line);
  if (!words.front()) throw EIniScript("unknown command 'NULL'");
  for (const TCommand& c : kCommands)
    if (*words.front() == c.name) return c.run(file, TArgs(words).subspan(1));
  throw EIniScript("unknown command '" + *words.front() + "'");
}

}  // namespace

int RunIni(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kestrava-tool ini FILE < COMMANDS\n");
    return 2;
  }
  const fs::path file = args[0];
  std::string line;
  for (int number = 1; std::getline(std::cin, line); ++number) {
    try {
      RunLine(file, line);
    } catch (const std::exception& e) {
      std::cout.flush();
      std::fprintf(stderr, "kestrava-tool ini: line %d: %s\n", number, e.what());
      return 1;
    }
  }
  return 0;
}

}  // namespace kestrava::tool

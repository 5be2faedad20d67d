// `kestrava-tool ini` against the recorded platform answers, and its integer rule and errors.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "tests/tools/ToolRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

using TRun = kestrava::test::TToolRun;
using kestrava::test::ReadText;

// Runs the built tool's ini command on a fresh file, with the given standard input.
TRun RunIni(const std::string& input) {
  return kestrava::test::RunTool(
      "ini-command",
      [](const fs::path& dir) { return "ini '" + (dir / "cases.ini").string() + "'"; }, input);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The first quoted string of a dump line, unescaped.
std::string FirstQuoted(const std::string& line) {
  std::string text;
  for (size_t i = line.find('"') + 1; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] != '\\') {
      text += line[i];
      continue;
    }
    const char c = line[++i];
    if (c == 'x') {
      text += char(std::stoi(line.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
    }
  }
  return text;
}

// Section headers and key names of a dumped file, in file order: what a rewrite must keep.
std::vector<std::string> SectionsAndKeys(const std::vector<std::string>& dump) {
  const auto trim = [](std::string s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
  };
  std::vector<std::string> names;
  for (const std::string& line : dump) {
    if (!line.starts_with("  | ")) continue;
    const std::string text = trim(FirstQuoted(line));
    if (text.starts_with('[') && text.rfind(']') != std::string::npos)
      names.push_back("[" + trim(text.substr(1, text.rfind(']') - 1)) + "]");
    else if (!text.starts_with(';') && text.find('=') != std::string::npos)
      names.push_back(trim(text.substr(0, text.find('='))));
  }
  return names;
}

struct TStep {
  std::string command;
  std::vector<std::string> answer;
};

// The recorded script: each "> command" line and the lines that answered it. The closing
// "# final" block is the recorder's own dump of the file.
std::vector<TStep> RecordedSteps(const std::string& text) {
  std::vector<TStep> steps;
  bool inAnswer = false;
  for (const std::string& line : Lines(text)) {
    if (line.starts_with("> ")) {
      steps.push_back({line.substr(2), {}});
      inAnswer = true;
    } else if (line == "# final") {
      steps.push_back({"dump", {}});
      inAnswer = true;
    } else if (line.starts_with('#')) {
      inAnswer = false;
    } else if (inAnswer) {
      steps.back().answer.push_back(line);
    }
  }
  return steps;
}

// Every value read back matches the record. Where the record shows the file, the platform had
// rewritten all of it, so only the order of sections and keys has to agree. Integers follow the
// project file's own rule and are checked below instead.
TEST(IniCommand, ReplaysTheRecordedPlatformAnswers) {
  const fs::path file = fs::path(KESTRAVA_SHARED_DIR) / "reference" / "profile-ini.txt";
  if (!fs::exists(file)) GTEST_SKIP() << file << " is not there";
  const std::vector<TStep> steps = RecordedSteps(ReadText(file));
  ASSERT_GT(steps.size(), 50u);
  std::string script;
  for (const TStep& step : steps)
    script += "> " + step.command + "\n";
  const TRun run = RunIni(script);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> out = Lines(run.out);
  size_t at = 0, compared = 0;
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.command);
    // Our answers to this command: up to "end" for a dump, one line otherwise.
    std::vector<std::string> answer;
    while (at < out.size()) {
      answer.push_back(out[at++]);
      if (!step.command.starts_with("dump") || answer.back() == "end") break;
    }
    if (step.command.starts_with("int ")) continue;
    if (step.command.starts_with("dump")) {
      EXPECT_EQ(SectionsAndKeys(answer), SectionsAndKeys(step.answer));
    } else {
      EXPECT_EQ(answer, step.answer);
    }
    ++compared;
  }
  EXPECT_EQ(at, out.size());
  EXPECT_GT(compared, 40u);
}

TEST(IniCommand, ReadsIntegersByTheProjectRule) {
  struct Case {
    const char* value;
    const char* answer;
  };
  const Case cases[] = {
      {"42", "int ret=42 (as int 42)"},
      {"-5", "int ret=4294967291 (as int -5)"},
      {"  12  ", "int ret=12 (as int 12)"},
      {"\\\"17\\\"", "int ret=17 (as int 17)"},
      {"0X1f", "int ret=31 (as int 31)"},
      {"$1F", "int ret=31 (as int 31)"},
      {"$FFFFFFFF", "int ret=4294967295 (as int -1)"},
      {"1F", "int ret=99 (as int 99)"},
      {"12abc", "int ret=99 (as int 99)"},
      {"3.9", "int ret=99 (as int 99)"},
      {"4294967297", "int ret=99 (as int 99)"},
      {"", "int ret=99 (as int 99)"},
  };
  std::string script, expected;
  for (const Case& c : cases) {
    script += std::string("write N v \"") + c.value + "\"\nint n V 99\n";
    expected += std::string("write ret=1\n") + c.answer + "\n";
  }
  const TRun run = RunIni(script);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, expected);
}

TEST(IniCommand, BadLinesStopWithTheirLineNumber) {
  struct Case {
    const char* input;
    const char* message;
  };
  const Case cases[] = {
      {"dump\nlist\n", "kestrava-tool ini: line 2: unknown command 'list'\n"},
      {"str S k\n", "kestrava-tool ini: line 1: usage: str SECTION KEY DEFAULT [BUFSIZE]\n"},
      {"str S k d 1x\n", "kestrava-tool ini: line 1: not a buffer size: '1x'\n"},
      {"raw \"abc\n", "kestrava-tool ini: line 1: unterminated string\n"},
      {"raw \"\\q\"\n", "kestrava-tool ini: line 1: unknown escape \\q\n"},
      {"raw \"ab\"x\n", "kestrava-tool ini: line 1: text after a closing quote\n"},
      {"raw \"ab\"*99999999999\n", "kestrava-tool ini: line 1: not a count: '99999999999'\n"},
      {"int S k NULL\n",
       "kestrava-tool ini: line 1: usage: int SECTION KEY DEFAULT (NULL not allowed here)\n"},
      {"int S k ten\n", "kestrava-tool ini: line 1: not a number: 'ten'\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const TRun run = RunIni(c.input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, c.message);
  }
}

}  // namespace

// The edit of ~/.xscreensaver that makes a built saver XScreenSaver's only program: the saver in
// the list once, selected, mode "one", and every other byte of the user's file where it was.
#include "platform/XScreenSaverSettings.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace kestrava {
namespace {

const std::string kShow = "/home/ann/show.scr -root";
const std::string kShowEntry = "\t\t\t\t\"show\"  /home/ann/show.scr -root \\n\\\n";

// The head of a file as XScreenSaver's settings program writes it.
const std::string kHead =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for ann on Mon Jan  1 10:00:00 2024.\n"
    "\n"
    "timeout:\t0:10:00\n"
    "lock:\t\tFalse\n";

const std::string kTail =
    "\n"
    "pointerHysteresis:\t10\n";

// Four programs: plain, with a visual, disabled, with a name.
const std::string kPrograms =
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics -root\t\t\t    \\n\\\n"
    "-\t\t\t\txflame -root\t\t\t\t    \\n\\\n"
    "  \"Pretty\" \t\t\thello -root\t\t\t\t    \\n\\\n"
    "\n";

std::string WithProgramsBeforeEnd(const std::string& programs, const std::string& added) {
  return programs.substr(0, programs.size() - 1) + added + "\n";
}

TEST(SelectSaverProgram, ListsAndSelectsTheSaver) {
  struct Case {
    const char* name;
    std::string before;
    std::string command;
    std::string after;
  };
  const std::string modeRandom = "mode:\t\trandom\nselected:\t-1\n\n";
  const std::string modeOne = "mode:\t\tone\n";
  const Case cases[] = {
      {"no settings file yet", "", kShow,
       "mode:\t\tone\nselected:\t0\nprograms:\t\t\\\n" + kShowEntry + "\n"},
      {"other programs: appended after the last, selected by its index",
       kHead + modeRandom + kPrograms + kTail, kShow,
       kHead + modeOne + "selected:\t4\n\n" + WithProgramsBeforeEnd(kPrograms, kShowEntry) + kTail},
      {"already listed with other blanks: selected where it stands, not doubled",
       kHead + modeRandom +
           WithProgramsBeforeEnd(kPrograms, "   /home/ann/show.scr \t -root\\n\\\n") + kTail,
       kShow,
       kHead + modeOne + "selected:\t4\n\n" +
           WithProgramsBeforeEnd(kPrograms, "   /home/ann/show.scr \t -root\\n\\\n") + kTail},
      {"already listed but disabled: the dash becomes a blank",
       "selected: 2\nprograms: maze -root\\n\\\n\t-  GL: /home/ann/show.scr -root\\n\\\n"
       "  \"x\" xflame\n",
       kShow,
       "selected: 1\nmode:\t\tone\nprograms: maze -root\\n\\\n\t   GL: /home/ann/show.scr "
       "-root\\n\\\n  \"x\" xflame\n"},
      {"no mode or selected: both go before the programs", kHead + kPrograms + kTail, kShow,
       kHead + "mode:\t\tone\nselected:\t4\n" + WithProgramsBeforeEnd(kPrograms, kShowEntry) +
           kTail},
      {"comments, unknown keys and look-alike lines kept; names matched in any case",
       "# mode: random\n! selected: 3\n; programs: nothing\nMODE:   blank\nimageDirectory:\t"
       "/home/ann/My Pictures\nnot a record\nSelected:\t7\nprograms:\tmaze -root\n",
       kShow,
       "# mode: random\n! selected: 3\n; programs: nothing\nMODE:   one\nimageDirectory:\t"
       "/home/ann/My Pictures\nnot a record\nSelected:\t1\nprograms:\tmaze -root \\n\\\n" +
           kShowEntry + "\n"},
      {"a path with blanks, quoted and started through env", "programs: maze -root\\n\\\n\n",
       SaverCommand("/home/ann/My Savers/it's here.scr"),
       "mode:\t\tone\nselected:\t1\nprograms: maze -root\\n\\\n"
       "\t\t\t\t\"show\"  /usr/bin/env '/home/ann/My Savers/it'\\\\''s here.scr' -root \\n\\\n\n"},
      {"the last programs record is the one that counts",
       "programs: old -root\nprograms: maze -root\n", kShow,
       "programs: old -root\nmode:\t\tone\nselected:\t1\nprograms: maze -root \\n\\\n" +
           kShowEntry + "\n"},
      {"an empty list", "selected: -1\nprograms:\n", kShow,
       "selected: 0\nmode:\t\tone\nprograms:" + kShowEntry + "\n"},
      {"no line break at the end of the file", "timeout: 0:10:00", kShow,
       "timeout: 0:10:00\nmode:\t\tone\nselected:\t0\nprograms:\t\t\\\n" + kShowEntry + "\n"},
      {"the file ends inside a continuation line", "lock: False \\\n", kShow,
       "lock: False \\\n\nmode:\t\tone\nselected:\t0\nprograms:\t\t\\\n" + kShowEntry + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string after = SelectSaverProgram(c.before, c.command, "show");
    EXPECT_EQ(after, c.after);
    // Installing the same saver again changes nothing.
    EXPECT_EQ(SelectSaverProgram(after, c.command, "show"), after);
  }
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const char c : text)
    out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// The index after "selected:" in the last such record.
int SelectedIndex(const std::string& text) {
  const size_t at = text.rfind("selected:");
  return at == std::string::npos ? -1 : std::stoi(text.substr(at + 9));
}

// A file written with CR LF is read as the same records, continuation lines and all, and what is
// added keeps its line breaks: the edit is the one of the LF file, CR LF throughout.
TEST(SelectSaverProgram, KeepsTheLineBreaksOfTheFile) {
  const struct {
    const char* name;
    std::string lf;
    int index;  // the saver's place in the list: after every earlier entry
  } cases[] = {
      {"as the settings program writes it", kHead + "mode:\t\trandom\n" + kPrograms + kTail, 4},
      {"no mode or selected", kHead + kPrograms + kTail, 4},
      {"no line break after the list", "lock: False\nprograms: maze -root\\n\\\n  xflame -root", 2},
      {"no line break after the last record", kPrograms + "timeout: 0:10:00", 4},
      {"already listed, disabled", "programs: maze -root\\n\\\n-  /home/ann/show.scr -root\n", 1},
      {"no list yet", "timeout: 0:10:00\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string lf = SelectSaverProgram(c.lf, kShow, "show");
    EXPECT_EQ(SelectedIndex(lf), c.index) << lf;
    const std::string crlf = SelectSaverProgram(WithCrLf(c.lf), kShow, "show");
    EXPECT_EQ(crlf, WithCrLf(lf));
    EXPECT_EQ(SelectSaverProgram(crlf, kShow, "show"), crlf);
  }
}

TEST(SelectSaverProgram, AnotherSaverIsAddedBesideTheFirst) {
  const std::string once = SelectSaverProgram(kPrograms, kShow, "show");
  const std::string twice = SelectSaverProgram(once, "/home/ann/other.scr -root", "other");
  EXPECT_EQ(twice, "mode:\t\tone\nselected:\t5\n" +
                       WithProgramsBeforeEnd(kPrograms,
                                             kShowEntry + "\t\t\t\t\"other\"  /home/ann/other.scr "
                                                          "-root \\n\\\n"));
  // And the first one, installed again, is selected where it is.
  EXPECT_EQ(SelectSaverProgram(twice, kShow, "show"),
            "mode:\t\tone\nselected:\t4\n" + twice.substr(twice.find("programs:")));
}

TEST(SelectSaverProgram, DisplayNameLosesWhatTheFileCannotHold) {
  const std::string after = SelectSaverProgram("", kShow, "my \"best\\ show");
  EXPECT_NE(after.find("\"my best show\"  /home/ann/show.scr -root"), std::string::npos) << after;
  const std::string unnamed = SelectSaverProgram("", kShow, "");
  EXPECT_NE(unnamed.find("\t\t\t\t/home/ann/show.scr -root \\n\\\n"), std::string::npos) << unnamed;
}

TEST(SelectSaverProgram, RefusesCommandsTheFileWouldReadOtherwise) {
  struct Case {
    const char* name;
    const char* command;
    const char* displayName;
  };
  const Case cases[] = {
      {"empty", "", "x"},
      {"blank", " \t ", "x"},
      {"two lines", "/a.scr -root\n/b.scr -root", "x"},
      {"first word read as a visual", "/home/a:b/show.scr -root", ""},
      {"first word read as a name", "\"/home/ann/show.scr\" -root", ""},
      {"leading dash read as disabled", "-x -root", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(SelectSaverProgram("programs: maze -root\n", c.command, c.displayName),
                 std::invalid_argument);
  }
  // Behind a name, a colon in the first word is only a colon.
  EXPECT_NO_THROW(SelectSaverProgram("", "/home/a:b/show.scr -root", "show"));
}

TEST(SaverCommand, QuotesOnlyWhatNeedsQuoting) {
  struct Case {
    const char* path;
    const char* command;
  };
  const Case cases[] = {
      {"/home/ann/show.scr", "/home/ann/show.scr -root"},
      {"/opt/k-2/a_b+c,d@e%f.exe", "/opt/k-2/a_b+c,d@e%f.exe -root"},
      {"/home/ann/My Savers/show.scr", "/usr/bin/env '/home/ann/My Savers/show.scr' -root"},
      {"/home/ann/a:b/show.scr", "/usr/bin/env '/home/ann/a:b/show.scr' -root"},
      {"/home/ann/it's.scr", "/usr/bin/env '/home/ann/it'\\''s.scr' -root"},
      {"/home/ann/$HOME;rm.scr", "/usr/bin/env '/home/ann/$HOME;rm.scr' -root"},
      {"/home/ann/\"q\"\\b.scr", "/usr/bin/env '/home/ann/\"q\"\\b.scr' -root"},
      {"/home/ann/caf\xc3\xa9.scr", "/usr/bin/env '/home/ann/caf\xc3\xa9.scr' -root"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(SaverCommand(c.path), c.command);
    // Whatever the path, the file reads the command back: installing twice lists it once.
    const std::string once = SelectSaverProgram("", SaverCommand(c.path), "show");
    EXPECT_EQ(SelectSaverProgram(once, SaverCommand(c.path), "show"), once);
  }
  EXPECT_THROW(SaverCommand("/home/ann/two\nlines.scr"), std::invalid_argument);
  EXPECT_THROW(SaverCommand("/home/ann/cr\r.scr"), std::invalid_argument);
}

}  // namespace
}  // namespace kestrava

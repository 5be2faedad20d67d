// The profile rules on bytes in memory: what a read returns, and which bytes a write changes.
#include <gtest/gtest.h>

#include <string>

#include "project/IniText.h"

namespace kestrava::project {
namespace {

TIniText Parsed(const std::string& bytes) {
  std::optional<TIniText> text = TIniText::Parse(bytes);
  EXPECT_TRUE(text.has_value());
  return text.value_or(TIniText());
}

TEST(IniText, ReadsByTheProfileRules) {
  struct Case {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    const char* fallback;
    std::string expected;
  };
  const std::string a2046(2046, 'a');
  const Case cases[] = {
      {"names ignore ASCII case", "[Main]\r\nKey=v\r\n", "mAIN", "kEY", "d", "v"},
      {"blanks around names and values", "[S]\r\n \t spaced \t= \t two words \t\r\n", "S", "spaced",
       "d", "two words"},
      {"blanks around the asked names", "[S]\r\nk=v\r\n", " S\t", "\tk ", "d", "v"},
      {"blanks inside the brackets", "  [ S ]  \r\nk=v\r\n", "S", "k", "d", "v"},
      {"a header runs to its last bracket", "[a]b]\r\nk=v\r\n", "a]b", "k", "d", "v"},
      {"double quotes", "[S]\r\nk=\" x \"\r\n", "S", "k", "d", " x "},
      {"single quotes", "[S]\r\nk='x'\r\n", "S", "k", "d", "x"},
      {"unbalanced quote stays", "[S]\r\nk=\"x\r\n", "S", "k", "d", "\"x"},
      {"mixed quotes stay", "[S]\r\nk=\"x'\r\n", "S", "k", "d", "\"x'"},
      {"a lone quote stays", "[S]\r\nk=\"\r\n", "S", "k", "d", "\""},
      {"empty value is not the default", "[S]\r\nk=\r\n", "S", "k", "d", ""},
      {"missing key", "[S]\r\nk=v\r\n", "S", "other", "d", "d"},
      {"missing section", "[S]\r\nk=v\r\n", "T", "k", "d", "d"},
      {"default loses trailing blanks only", "", "S", "k", "  d d  ", "  d d"},
      {"a line without = is no key", "[S]\r\nk\r\n", "S", "k", "d", "d"},
      {"a comment is no key", "[S]\r\n; k=v\r\n", "S", "; k", "d", "d"},
      {"first of duplicate keys", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "d", "1"},
      {"first of duplicate sections", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", "d", "d"},
      {"value keeps later equals signs", "[S]\r\nk = a=b;c\r\n", "S", "k", "d", "a=b;c"},
      {"LF line ends", "[S]\nk=v\n[T]\nk=w\n", "T", "k", "d", "w"},
      {"lone CR line ends", "[S]\rk=v\r[T]\rk=w\r", "T", "k", "d", "w"},
      {"no newline at the end", "[S]\r\nk=v", "S", "k", "d", "v"},
      {"keys before any header", "k=top\r\n[S]\r\nk=v\r\n", "", "k", "d", "top"},
      {"byte order mark", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "d", "v"},
      {"bytes that are not UTF-8", "[S\xE9]\r\nk=\xFF\xE9t\xE9\r\n", "S\xE9", "k", "d",
       "\xFF\xE9t\xE9"},
      {"zero bytes", std::string("[S]\r\nk=a\0b\r\n", 11), "S", "k", "d", std::string("a\0b", 3)},
      {"line starting with =", "[S]\r\n=v\r\n", "S", "", "d", "v"},
      {"value cut to 2047 bytes", "[S]\r\nk=" + std::string(3000, 'x') + "\r\n", "S", "k", "d",
       std::string(2047, 'x')},
      {"cut never splits a character", "[S]\r\nk=" + a2046 + "\xC3\xA9z\r\n", "S", "k", "d", a2046},
      {"a broken sequence is cut as bytes", "[S]\r\nk=" + a2046 + "\xC3zz\r\n", "S", "k", "d",
       a2046 + "\xC3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parsed(c.file).ReadString(c.section, c.key, c.fallback), c.expected);
  }
}

TEST(IniText, WritesChangeOnlyTheirLine) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"empty file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"in place, only the value replaced", "[A]\r\n Key = old \r\nz=1\r\n", "a", "KEY", "new",
       "[A]\r\n Key = new\r\nz=1\r\n"},
      {"only the first duplicate", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "9", "[A]\r\nk=9\r\nk=2\r\n"},
      {"after the last key, before comments", "[A]\r\nk=1\r\n; c\r\n\r\n[B]\r\nb=2\r\n", "A", "n",
       "3", "[A]\r\nk=1\r\nn=3\r\n; c\r\n\r\n[B]\r\nb=2\r\n"},
      {"section without keys", "[A]\r\n; c\r\n[B]\r\n", "A", "k", "v",
       "[A]\r\nk=v\r\n; c\r\n[B]\r\n"},
      {"new section at the end", "; top\r\n[A]\r\nk=1\r\n[Other]\r\nx=y\r\n", "B", "k", "v",
       "; top\r\n[A]\r\nk=1\r\n[Other]\r\nx=y\r\n[B]\r\nk=v\r\n"},
      {"LF file stays LF", "[A]\nk=1\n", "A", "n", "2", "[A]\nk=1\nn=2\n"},
      {"CR file stays CR", "[A]\rk=1\r", "B", "n", "2", "[A]\rk=1\r[B]\rn=2\r"},
      {"missing last newline", "[A]\r\nk=v", "A", "k2", "v2", "[A]\r\nk=v\r\nk2=v2\r\n"},
      {"header without newline", "[A]", "A", "k", "v", "[A]\r\nk=v\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[A]\n", "A", "k", "v", "\xEF\xBB\xBF[A]\nk=v\n"},
      {"foreign bytes kept", "\xFF\xFE junk\r\n[A]\r\nk=\xE9\r\n", "A", "k", "\xE8",
       "\xFF\xFE junk\r\n[A]\r\nk=\xE8\r\n"},
      {"value written as given", "", "S", "k", "  padded  ", "[S]\r\nk=  padded  \r\n"},
      {"keys before any header", "top=1\r\n[A]\r\n", "", "top", "2", "top=2\r\n[A]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIniText text = Parsed(c.before);
    ASSERT_TRUE(text.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(text.Bytes(), c.after);
    EXPECT_EQ(text.ByteCount(), c.after.size());
  }
}

TEST(IniText, RefusesWhatCannotBeOneLine) {
  struct Case {
    const char* name;
    std::string section, key, value;
  };
  const Case cases[] = {
      {"line break in a value", "S", "k", "a\nb"},
      {"carriage return in a value", "S", "k", "a\rb"},
      {"line break in a section", "S\n", "k", "v"},
      {"empty key", "S", " ", "v"},
      {"equals sign in a key", "S", "a=b", "v"},
      {"key that reads as a header", "S", "[k]", "v"},
      {"key that reads as a comment", "S", ";k", "v"},
      {"key that reads as a byte order mark", "", "\xEF\xBB\xBFk", "v"},
  };
  const std::string before = "[S]\r\nk=old\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIniText text = Parsed(before);
    EXPECT_FALSE(text.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(text.Bytes(), before);
  }
}

TEST(IniText, KeepsAnyBytesItDoesNotEdit) {
  const std::string inputs[] = {
      "",
      "\r\r\n\n\r",
      "[",
      "]",
      "[]=",
      "=",
      "\xEF\xBB\xBF",
      std::string("\0\0[\0]\0=\0", 9),
      "[a\r\n]b=c\n\r",
      " \t;=\r\n[ ]\rk",
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(::testing::PrintToString(input));
    TIniText text = Parsed(input);
    EXPECT_EQ(text.Bytes(), input);
    ASSERT_TRUE(text.WriteString("new", "k", "v"));
    const std::string written = text.Bytes();
    EXPECT_EQ(text.ByteCount(), written.size());
    EXPECT_TRUE(written.starts_with(input));  // a new section only ever appends
    EXPECT_EQ(Parsed(written).ReadString("new", "k", "d"), "v");
  }
}

TEST(IniText, CapsTheSize) {
  EXPECT_FALSE(TIniText::Parse(std::string(kMaxIniBytes + 1, '\n')).has_value());
  // A file of LF line ends: "[S]\nk=v\n" is one byte more than the room left.
  TIniText text = Parsed(std::string(kMaxIniBytes - 7, '\n'));
  EXPECT_FALSE(text.WriteString("S", "k", "v"));
  EXPECT_EQ(text.ByteCount(), kMaxIniBytes - 7);
  EXPECT_TRUE(text.WriteString("S", "k", ""));
  EXPECT_EQ(text.ByteCount(), kMaxIniBytes);
  EXPECT_FALSE(text.WriteString("S", "k", "v"));
}

TEST(IniText, DeletesKeysAndSections) {
  TIniText text = Parsed("t=1\r\n[A]\r\nk=1\r\n; c\r\n[B]\r\nk=2\r\nk=3\r\n");
  EXPECT_TRUE(text.DeleteKey("b", "K"));
  EXPECT_EQ(text.ReadString("B", "k", "d"), "3");
  EXPECT_TRUE(text.DeleteSection("a"));
  EXPECT_TRUE(text.DeleteSection(""));  // only the keys of the part before any header
  EXPECT_TRUE(text.DeleteSection("missing"));
  EXPECT_EQ(text.Bytes(), "[B]\r\nk=3\r\n");
  EXPECT_EQ(text.ByteCount(), text.Bytes().size());
  EXPECT_EQ(text.SectionNames(), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace kestrava::project

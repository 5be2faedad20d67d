// The project file's integer rule, and how it meets the profile reader's trimming and quotes.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "project/IniInteger.h"

namespace kestrava::project {
namespace {

TEST(IniInteger, ParsesDecimalAndHexadecimalOnly) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  };
  const Case cases[] = {
      {"42", 42},
      {"-3", -3},
      {"+7", 7},
      {"-0", 0},
      {"017", 17},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"$ffffffff", -1},
      {"0x80000000", INT32_MIN},
      {"$00000000000A", 10},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"4294967297", std::nullopt},
      {"$100000000", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"0xG", std::nullopt},
      {"-0x1F", std::nullopt},
      {"-$1F", std::nullopt},
      {"1F", std::nullopt},
      {"12abc", std::nullopt},
      {"3.9", std::nullopt},
      {"1 2", std::nullopt},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"0b101", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseProjectInteger(c.text), c.value);
  }
}

TEST(IniInteger, ReadsTheValueAsTheProfileReaderReturnsIt) {
  const TIniText text =
      TIniText::Parse("[N]\r\nblank=  12  \r\nquoted=\"17\"\r\nempty=\r\nbad=x\r\n").value();
  EXPECT_EQ(ReadProjectInteger(text, "n", "BLANK", 99), 12);
  EXPECT_EQ(ReadProjectInteger(text, "N", "quoted", 99), 17);
  EXPECT_EQ(ReadProjectInteger(text, "N", "empty", 99), 99);
  EXPECT_EQ(ReadProjectInteger(text, "N", "bad", 99), 99);
  EXPECT_EQ(ReadProjectInteger(text, "N", "missing", -1), -1);
}

TEST(IniInteger, WritesPlainDecimal) {
  struct Case {
    int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"}, {-5, "-5"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatProjectInteger(c.value), c.text);
    EXPECT_EQ(ParseProjectInteger(c.text), c.value);
  }
}

}  // namespace
}  // namespace kestrava::project

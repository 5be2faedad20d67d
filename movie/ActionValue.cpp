#include "movie/ActionValue.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kestrava {

namespace {

double ParseNumber(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
    ++start;
  if (start == text.size()) return NAN;
  const char* begin = text.c_str() + start;
  // Only decimal and hexadecimal numbers: "inf" and "nan" are no numbers to the player.
  const char first = char(std::tolower(
      static_cast<unsigned char>(*begin == '-' || *begin == '+' ? begin[1] : begin[0])));
  if (first == 'i' || first == 'n') return NAN;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end != text.c_str() + text.size()) return NAN;
  return value;
}

}  // namespace

double ToNumber(const TActionValue& value, uint8_t version) {
  switch (value.Kind) {
    case TActionValue::TKind::Undefined:
    case TActionValue::TKind::Null:
      return version >= 7 ? NAN : 0;
    case TActionValue::TKind::Bool:
    case TActionValue::TKind::Number:
      return value.Number;
    case TActionValue::TKind::String:
      return ParseNumber(value.Text);
    case TActionValue::TKind::Clip:
      return NAN;
  }
  return NAN;
}

std::string ToString(const TActionValue& value, uint8_t version) {
  switch (value.Kind) {
    case TActionValue::TKind::Undefined:
      return version >= 7 ? "undefined" : "";
    case TActionValue::TKind::Null:
      return "null";
    case TActionValue::TKind::Bool:
      return value.Number != 0 ? "true" : "false";
    case TActionValue::TKind::Number:
      return FormatNumber(value.Number);
    case TActionValue::TKind::String:
    case TActionValue::TKind::Clip:
      return value.Text;
  }
  return {};
}

bool ToBool(const TActionValue& value, uint8_t version) {
  switch (value.Kind) {
    case TActionValue::TKind::Undefined:
    case TActionValue::TKind::Null:
      return false;
    case TActionValue::TKind::Bool:
    case TActionValue::TKind::Number:
      return value.Number != 0 && !std::isnan(value.Number);
    case TActionValue::TKind::String: {
      if (version >= 7) return !value.Text.empty();
      const double number = ParseNumber(value.Text);
      return number != 0 && !std::isnan(number);
    }
    case TActionValue::TKind::Clip:
      return true;
  }
  return false;
}

std::string FormatNumber(double number) {
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
  if (number == 0) return "0";
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", number);
  // "1e+021" or "1e-07" from some C libraries: the player writes "1e+21" and "1e-7".
  std::string out(text);
  const size_t e = out.find('e');
  if (e != std::string::npos) {
    size_t digits = e + 2;
    while (digits + 1 < out.size() && out[digits] == '0')
      out.erase(digits, 1);
  }
  return out;
}

bool ParseWholeNumber(const std::string& text, double& number) {
  if (text.empty()) return false;
  size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  number = std::strtod(text.c_str(), nullptr);
  return true;
}

}  // namespace kestrava

#pragma once

// The values frame scripts push and pop: the few kinds timeline control needs, with the
// conversions the player applies between them.

#include <cstdint>
#include <string>

namespace kestrava {

struct TActionValue {
  enum class TKind : uint8_t { Undefined, Null, Bool, Number, String, Clip };
  TKind Kind = TKind::Undefined;
  double Number = 0;  // a number, or a bool as 0 and 1
  std::string Text;   // a string, or the path of a clip
  uint64_t Clip = 0;  // a sprite instance (or the root) by its id

  static TActionValue Of(double number) { return {TKind::Number, number, {}, 0}; }
  static TActionValue Of(bool flag) { return {TKind::Bool, flag ? 1.0 : 0.0, {}, 0}; }
  static TActionValue Of(std::string text) { return {TKind::String, 0, std::move(text), 0}; }
  static TActionValue OfClip(uint64_t clip, std::string path) {
    return {TKind::Clip, 0, std::move(path), clip};
  }
  static TActionValue Null() { return {TKind::Null, 0, {}, 0}; }
};

// Movies of version 6 and older turn undefined into 0 and ""; later ones into NaN and
// "undefined".
double ToNumber(const TActionValue& value, uint8_t version);
std::string ToString(const TActionValue& value, uint8_t version);
bool ToBool(const TActionValue& value, uint8_t version);

// Numbers as the player prints them: whole numbers without a point, at most 15 digits,
// "NaN", "Infinity", exponents as "1e+21".
std::string FormatNumber(double number);

// A string that is a whole decimal number, as gotos read frame numbers given as text.
bool ParseWholeNumber(const std::string& text, double& number);

}  // namespace kestrava

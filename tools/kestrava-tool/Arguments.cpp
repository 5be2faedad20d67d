#include "tools/kestrava-tool/Arguments.h"

#include <charconv>

namespace kestrava::tool {

namespace {

long ParseWhole(const std::string& text, const std::string& what) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty())
    throw EUsage(what + ": '" + text + "' is not a whole number");
  return value;
}

}  // namespace

TArguments::TArguments(const std::vector<std::string>& args, const std::set<std::string>& allowed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      const std::string name = a.substr(2);
      if (!allowed.count(name)) throw EUsage("unknown option " + a);
      if (i + 1 >= args.size()) throw EUsage("option " + a + " needs a value");
      options_[name] = args[++i];
    } else {
      positional_.push_back(a);
    }
  }
}

std::optional<std::string> TArguments::Option(const std::string& name) const {
  const auto it = options_.find(name);
  if (it == options_.end()) return std::nullopt;
  return it->second;
}

long TArguments::Number(const std::string& name, long fallback, long min, long max) const {
  const std::optional<std::string> text = Option(name);
  if (!text) return fallback;
  const long value = ParseWhole(*text, "--" + name);
  if (value < min || value > max)
    throw EUsage("--" + name + " must be from " + std::to_string(min) + " to " +
                 std::to_string(max));
  return value;
}

std::pair<int, int> ParseSize(const std::string& text) {
  const size_t x = text.find('x');
  if (x == std::string::npos) throw EUsage("size '" + text + "' is not WIDTHxHEIGHT");
  const long w = ParseWhole(text.substr(0, x), "width"),
             h = ParseWhole(text.substr(x + 1), "height");
  if (w < 1 || h < 1 || w > 8192 || h > 8192) throw EUsage("size '" + text + "' is out of range");
  return {int(w), int(h)};
}

std::pair<int, int> ParseRange(const std::string& text) {
  const size_t dash = text.find('-');
  if (dash == std::string::npos) {
    const long n = ParseWhole(text, "range");
    return {int(n), int(n)};
  }
  return {int(ParseWhole(text.substr(0, dash), "range")),
          int(ParseWhole(text.substr(dash + 1), "range"))};
}

}  // namespace kestrava::tool

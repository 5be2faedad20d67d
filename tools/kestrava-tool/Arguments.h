#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrava::tool {

// "--name value" options and positional arguments, in any order. Throws EUsage for an option
// that is not allowed or has no value.
class EUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TArguments {
 public:
  TArguments(const std::vector<std::string>& args, const std::set<std::string>& allowed);

  const std::vector<std::string>& Positional() const { return positional_; }
  std::optional<std::string> Option(const std::string& name) const;
  // A whole number in [min, max]; fallback when the option is absent.
  long Number(const std::string& name, long fallback, long min, long max) const;

 private:
  std::map<std::string, std::string> options_;
  std::vector<std::string> positional_;
};

// Parses "WxH" and "A-B" (or a single "A").
std::pair<int, int> ParseSize(const std::string& text);
std::pair<int, int> ParseRange(const std::string& text);

}  // namespace kestrava::tool

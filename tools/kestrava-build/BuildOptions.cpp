#include "tools/kestrava-build/BuildOptions.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <set>

#include "saver/LargestScreen.h"
#include "saver/OfferedEffects.h"

namespace kestrava {

const char* const kBuildUsage =
    "usage: kestrava-build PROJECT.kvp [--effects all|offered|N,N-M,...] [--mask]\n"
    "                      [--screen WxH] [--output-dir DIR] [--name NAME] [--type scr|exe]\n"
    "                      [--target linux|windows] [--quiet]\n"
    "       kestrava-build --list-effects | --help\n";

namespace {

int ParseNumber(std::string_view text, std::string_view what) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    throw EUsageError("kestrava-build: " + std::string(what) + ": not a number: \"" +
                      std::string(text) + "\"");
  return value;
}

TScreenSize ParseScreen(const std::string& text) {
  const size_t x = text.find('x');
  if (x == std::string::npos)
    throw EUsageError("kestrava-build: --screen wants WxH, e.g. 1920x1080");
  const TScreenSize size{ParseNumber(std::string_view(text).substr(0, x), "--screen"),
                         ParseNumber(std::string_view(text).substr(x + 1), "--screen")};
  if (!FitsLargestScreen(size.Width, size.Height))
    throw EUsageError(
        "kestrava-build: --screen: width and height must lie in 1..16384, with at most " +
        std::to_string(kMaxScreenPixels) + " pixels in all");
  return size;
}

}  // namespace

std::vector<int> ParseEffects(const std::string& text) {
  if (text == "all" || text == "offered") return OfferedEffectStyles();
  std::set<int> styles;
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const size_t dash = item.find('-');
    const int first = ParseNumber(item.substr(0, dash), "--effects");
    const int last =
        dash == std::string_view::npos ? first : ParseNumber(item.substr(dash + 1), "--effects");
    if (last < first)
      throw EUsageError("kestrava-build: --effects: empty range \"" + std::string(item) + "\"");
    for (int style = first; style <= last; ++style) {
      if (!IsOfferedEffectStyle(style))
        throw EUsageError("kestrava-build: --effects: style " + std::to_string(style) +
                          " is not one of the effects a saver can use (1-122 without 7, 9, 16, "
                          "17, 24-27, 33, 34, 47-51, 119-122)");
      styles.insert(style);
    }
  }
  if (styles.empty()) throw EUsageError("kestrava-build: --effects: no effect given");
  return {styles.begin(), styles.end()};
}

std::vector<int> ChosenEffects(const TBuildOptions& options,
                               const std::vector<int>& projectStyles) {
  if (options.EffectsGiven) return options.Effects;
  std::vector<int> offered;
  std::copy_if(projectStyles.begin(), projectStyles.end(), std::back_inserter(offered),
               IsOfferedEffectStyle);
  return offered.empty() ? options.Effects : offered;
}

TBuildOptions ParseBuildOptions(const std::vector<std::string>& args) {
  TBuildOptions options;
  options.Effects = OfferedEffectStyles();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw EUsageError("kestrava-build: " + arg + " wants a value");
      return args[++i];
    };
    if (arg == "--effects") {
      options.Effects = ParseEffects(value());
      options.EffectsGiven = true;
    } else if (arg == "--mask") {
      options.Mask = true;
    } else if (arg == "--screen") {
      options.Screen = ParseScreen(value());
    } else if (arg == "--output-dir") {
      std::string dir = value();
      if (dir.empty()) throw EUsageError("kestrava-build: --output-dir wants a folder");
      if (dir.back() != '/') dir += '/';
      options.OutputDir = dir;
    } else if (arg == "--name") {
      options.Name = value();
    } else if (arg == "--type") {
      const std::string& type = value();
      if (type != "scr" && type != "exe")
        throw EUsageError("kestrava-build: --type is scr or exe, not \"" + type + "\"");
      options.Type = type == "exe" ? 1 : 0;
    } else if (arg == "--target") {
      const std::string& target = value();
      if (target != "linux" && target != "windows")
        throw EUsageError("kestrava-build: --target is linux or windows, not \"" + target + "\"");
      options.Target =
          target == "windows" ? project::TSaverTarget::Windows : project::TSaverTarget::Linux;
    } else if (arg == "--quiet") {
      options.Quiet = true;
    } else if (arg.starts_with("--")) {
      throw EUsageError("kestrava-build: unknown option " + arg);
    } else if (options.Project.empty()) {
      options.Project = arg;
    } else {
      throw EUsageError("kestrava-build: one project at a time (" + arg + ")");
    }
  }
  if (options.Project.empty()) throw EUsageError("kestrava-build: no project file given");
  return options;
}

}  // namespace kestrava

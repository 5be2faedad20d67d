// `kestrava-tool region`: a small stack language over our regions, in the form the recorded
// platform answers use, so that their command lines replayed here must print the same answers.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "raster/Region.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

class ERegionScript : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TArgs = std::span<const std::string>;
using TStack = std::vector<Region>;

int Number(const std::string& token) {
  int value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size())
    throw ERegionScript("not a number: '" + token + "'");
  return value;
}

void ExpectCount(TArgs args, size_t count, const char* usage) {
  if (args.size() != count) throw ERegionScript(std::string("usage: ") + usage);
}

Region Pop(TStack& stack) {
  Region top = std::move(stack.back());
  stack.pop_back();
  return top;
}

void Rect(TArgs args, TStack& stack) {
  ExpectCount(args, 4, "rect L T R B");
  stack.push_back(
      Region::FromRect(Number(args[0]), Number(args[1]), Number(args[2]), Number(args[3])));
}

void RoundRect(TArgs args, TStack& stack) {
  ExpectCount(args, 6, "roundrect L T R B EW EH");
  stack.push_back(Region::FromRoundRect(Number(args[0]), Number(args[1]), Number(args[2]),
                                        Number(args[3]), Number(args[4]), Number(args[5])));
}

void Polygon(TArgs args, TStack& stack, TPolyFillMode mode) {
  const char* usage = "polygon N x1 y1 ... xN yN";
  if (args.empty()) throw ERegionScript(std::string("usage: ") + usage);
  const int n = Number(args[0]);
  if (n < 0 || args.size() - 1 != 2 * size_t(n))
    throw ERegionScript(std::string("usage: ") + usage);
  std::vector<TPoint> points;
  for (size_t i = 1; i < args.size(); i += 2)
    points.push_back({Number(args[i]), Number(args[i + 1])});
  stack.push_back(Region::FromPolygon(points, mode));
}

void Winding(TArgs args, TStack& stack) {
  Polygon(args, stack, TPolyFillMode::Winding);
}
void Alternate(TArgs args, TStack& stack) {
  Polygon(args, stack, TPolyFillMode::Alternate);
}

const char* KindName(TRegionKind kind) {
  switch (kind) {
    case TRegionKind::Null:
      return "NULLREGION";
    case TRegionKind::Simple:
      return "SIMPLEREGION";
    case TRegionKind::Complex:
      return "COMPLEXREGION";
    case TRegionKind::Error:
      break;
  }
  return "ERROR";
}

void Combine(TArgs args, TStack& stack) {
  struct Mode {
    const char* name;
    TCombineMode mode;
  };
  static constexpr Mode kModes[] = {{"OR", TCombineMode::Or},
                                    {"AND", TCombineMode::And},
                                    {"XOR", TCombineMode::Xor},
                                    {"DIFF", TCombineMode::Diff}};
  ExpectCount(args, 1, "combine OR|AND|XOR|DIFF");
  for (const Mode& m : kModes) {
    if (args[0] != m.name) continue;
    if (stack.size() < 2) throw ERegionScript("combine: needs two regions on the stack");
    const Region b = Pop(stack);
    const Region a = Pop(stack);
    Region combined;
    const TRegionKind kind = combined.Combine(a, b, m.mode);
    stack.push_back(std::move(combined));
    std::cout << "combine " << m.name << " -> " << KindName(kind) << '\n';
    return;
  }
  throw ERegionScript("combine: unknown mode '" + args[0] + "'");
}

void Canon(TArgs args, TStack& stack) {
  ExpectCount(args, 0, "canon");
  if (stack.empty()) throw ERegionScript("canon: the region stack is empty");
  std::cout << "canon\n" << stack.back().Canonical();
}

struct Command {
  const char* name;
  void (*run)(TArgs, TStack&);
};

constexpr Command kCommands[] = {
    {"rect", Rect},       {"roundrect", RoundRect},
    {"polygon", Winding}, {"polygon_alt", Alternate},
    {"combine", Combine}, {"canon", Canon},
};

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (true) {
    i = line.find_first_not_of(" \t", i);
    if (i == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t", i), line.size());
    words.emplace_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

void RunLine(std::string_view line, TStack& stack) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // Accept the reference files' command lines as they stand, prompt included.
  if (line.starts_with("> ")) line.remove_prefix(2);
  const std::vector<std::string> words = Words(line);
  if (words.empty() || words[0].starts_with('#')) return;
  for (const Command& c : kCommands)
    if (words[0] == c.name) return c.run(TArgs(words).subspan(1), stack);
  throw ERegionScript("unknown command '" + words[0] + "'");
}

}  // namespace

int RunRegion(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "kestrava-tool region: no arguments; commands are read from stdin\n");
    return 2;
  }
  TStack stack;
  std::string line;
  for (int number = 1; std::getline(std::cin, line); ++number) {
    try {
      RunLine(line, stack);
    } catch (const std::exception& e) {
      std::cout.flush();
      std::fprintf(stderr, "kestrava-tool region: line %d: %s\n", number, e.what());
      return 1;
    }
  }
  return 0;
}

}  // namespace kestrava::tool

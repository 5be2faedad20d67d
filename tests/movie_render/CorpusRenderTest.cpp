// Movies of the test corpus drawn after the timeline has played them, compared with the
// pictures their test suites expect. Only movies whose scripting stays within timeline control
// take part. Set KESTRAVA_RENDER_DUMP to a folder to get each render beside its expected picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/Png.h"
#include "movie/MovieTimeline.h"
#include "movie/render/MovieRenderer.h"

namespace kestrava {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(KESTRAVA_SHARED_DIR) / "corpus" / "swf";

// One comparison: at most MaxOutliers pixels may differ by more than Tolerance in a channel.
struct TTolerance {
  int Tolerance = 0;
  int64_t MaxOutliers = 0;
};

struct TCorpusCase {
  std::string Movie;     // relative to the corpus
  std::string Expected;  // the reference picture
  int Advances = 0;      // frames played after the first
  bool Antialias = true;
  std::vector<TTolerance> Checks;
};

// What the timeline cannot do yet; each entry's movie must fail, or the entry must go.
const std::map<std::string, std::string> kKnownFailures = {
    {"swfdec/image/duplicate-depth-5.swf",
     "timeline: version 5 keeps both objects placed at one depth"},
    {"ruffle/visual/blend_modes/layer_alpha/test.swf",
     "the alpha blend mode inside a layer erases a larger area"},
    {"ruffle/visual/cache_as_bitmap/morph/test.swf",
     "a morph's colour one level off where the test allows none"},
    {"ruffle/visual/filters/bevel_full/test.swf", "filters are not drawn"},
    {"ruffle/visual/filters/blur_size_grows/test.swf", "filters are not drawn"},
    {"ruffle/visual/filters/color_matrix/test.swf", "filters are not drawn"},
    {"ruffle/visual/filters/drop_shadow/test.swf", "filters are not drawn"},
    {"ruffle/visual/filters/glow/test.swf", "filters are not drawn"},
    {"ruffle/visual/gradient_nonsequential_ratios/test.swf",
     "linear-light gradient: the colours next to its hard steps differ"},
    {"ruffle/visual/simple_shapes/gradients/focal_radial/test.swf",
     "linear-light focal gradient: up to 20 levels off near the focus"},
    {"ruffle/visual/simple_shapes/gradients/gradients/test.swf",
     "gradient colours two levels off where the test allows one"},
};

std::vector<std::vector<std::string>> ManifestRows() {
  std::ifstream in(kCorpus / "MANIFEST.tsv");
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    std::vector<std::string> columns;
    std::stringstream row(line);
    for (std::string column; std::getline(row, column, '\t');)
      columns.push_back(column);
    if (columns.size() >= 8) rows.push_back(std::move(columns));
  }
  return rows;
}

bool TimelineScriptingOnly(const std::vector<std::string>& row) {
  return (row[4] == "none" || row[4].rfind("timeline actions", 0) == 0) && row[5] != "doabc";
}

// The swfdec image tests: ten frames on, 3 levels per channel on 99% of the pixels.
std::vector<TCorpusCase> SwfdecCases() {
  std::vector<TCorpusCase> cases;
  for (const auto& row : ManifestRows()) {
    if (row[0].rfind("swfdec/image/", 0) != 0 || !TimelineScriptingOnly(row)) continue;
    TCorpusCase c{row[0], row[7].substr(0, row[7].find(' ')), 10, true, {}};
    cases.push_back(std::move(c));
  }
  return cases;
}

// The few fields of a ruffle test.toml that say how to compare.
void ReadToml(const std::filesystem::path& path, TCorpusCase& c, bool& knownFailure) {
  std::ifstream in(path);
  TTolerance* current = nullptr;
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    const std::string key = line.substr(0, line.find_first_of(" =")),
                      value = equals == std::string::npos
                                  ? ""
                                  : line.substr(line.find_first_not_of(' ', equals + 1));
    if (line.rfind("[image_comparisons.output]", 0) == 0 ||
        line.rfind("[[image_comparisons.output.checks]]", 0) == 0) {
      c.Checks.emplace_back();
      current = &c.Checks.back();
    } else if (line.rfind("[", 0) == 0) {
      current = nullptr;
    } else if (key == "num_frames" || key == "num_ticks") {
      c.Advances = std::stoi(value) - 1;
    } else if (current && key == "tolerance") {
      current->Tolerance = std::stoi(value);
    } else if (current && key == "max_outliers") {
      current->MaxOutliers = std::stoll(value);
    } else if (key == "known_failure") {
      knownFailure = value.rfind("true", 0) == 0;
    } else if (key == "with_renderer") {
      c.Antialias = value.find("\"low\"") == std::string::npos;
    }
  }
  // A section with nested checks holds no comparison of its own.
  if (c.Checks.size() > 1 && c.Checks.front().Tolerance == 0 && c.Checks.front().MaxOutliers == 0)
    c.Checks.erase(c.Checks.begin());
}

std::vector<TCorpusCase> RuffleVisualCases(std::vector<std::string>& knownFailures) {
  std::vector<TCorpusCase> cases;
  for (const auto& row : ManifestRows()) {
    if (row[0].rfind("ruffle/visual/", 0) != 0 || !TimelineScriptingOnly(row)) continue;
    TCorpusCase c{row[0], row[7].substr(0, row[7].find(' ')), 0, true, {}};
    bool known = false;
    ReadToml(kCorpus / std::filesystem::path(row[0]).parent_path() / "test.toml", c, known);
    if (c.Checks.empty()) c.Checks.push_back({});
    if (known) knownFailures.push_back(row[0]);
    cases.push_back(std::move(c));
  }
  return cases;
}

TBitmap Render(const TCorpusCase& c, int width, int height) {
  const auto movie = TSwfMovie::LoadFile(kCorpus / c.Movie);
  TMovieTimeline timeline(movie);
  for (int i = 0; i < c.Advances; ++i)
    timeline.Advance();
  TMovieRenderer renderer(movie);
  renderer.SetAntialias(c.Antialias);
  TBitmap target(width, height);
  renderer.Render(timeline.Frame(), target);
  return target;
}

int64_t Outliers(const TBitmap& actual, const TBitmap& expected, int tolerance) {
  int64_t outliers = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) {
      const TPixel a = actual.PixelAt(x, y), e = expected.PixelAt(x, y);
      for (int shift : {0, 8, 16}) {
        if (std::abs(int(a >> shift & 0xFF) - int(e >> shift & 0xFF)) > tolerance) {
          ++outliers;
          break;
        }
      }
    }
  return outliers;
}

void Dump(const std::string& movie, const TBitmap& actual, const TBitmap& expected) {
  const char* folder = std::getenv("KESTRAVA_RENDER_DUMP");
  if (!folder) return;
  TBitmap both(actual.Width() * 2, actual.Height());
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      const TPixel a = actual.PixelAt(x, y), e = expected.PixelAt(x, y);
      std::memcpy(both.ScanLine(y) + 4 * x, &a, 4);
      std::memcpy(both.ScanLine(y) + 4 * (x + actual.Width()), &e, 4);
    }
  }
  std::string name = movie;
  for (char& ch : name)
    if (ch == '/') ch = '_';
  WritePngFile(std::filesystem::path(folder) / (name + ".png"), both);
}

// Renders every case, prints each outcome, and checks the failures are the known ones.
void RunCorpus(const std::vector<TCorpusCase>& cases, const std::vector<std::string>& known) {
  ASSERT_FALSE(cases.empty());
  int passed = 0;
  for (const TCorpusCase& c : cases) {
    bool pass = false;
    std::string detail;
    try {
      const TBitmap expected = ReadPngFile(kCorpus / c.Expected);
      const TBitmap actual = Render(c, expected.Width(), expected.Height());
      Dump(c.Movie, actual, expected);
      pass = true;
      for (const TTolerance& check : c.Checks) {
        const int64_t outliers = Outliers(actual, expected, check.Tolerance);
        detail += " " + std::to_string(outliers) + " beyond " + std::to_string(check.Tolerance) +
                  " (allowed " + std::to_string(check.MaxOutliers) + ")";
        pass = pass && outliers <= check.MaxOutliers;
      }
    } catch (const std::exception& e) {
      detail = e.what();
    }
    passed += pass;
    const auto cause = kKnownFailures.find(c.Movie);
    const bool expectedToFail = cause != kKnownFailures.end() ||
                                std::find(known.begin(), known.end(), c.Movie) != known.end();
    std::printf("%-62s %s%s%s\n", c.Movie.c_str(), pass ? "pass" : "FAIL", detail.c_str(),
                cause == kKnownFailures.end() ? "" : ("; known: " + cause->second).c_str());
    if (expectedToFail)
      EXPECT_FALSE(pass) << c.Movie << " passes now: take it off the known failures";
    else
      EXPECT_TRUE(pass) << c.Movie << ":" << detail;
  }
  std::printf("%d of %zu match\n", passed, cases.size());
}

TEST(CorpusRender, SwfdecImagesMatchAfterTenFrames) {
  std::vector<TCorpusCase> cases = SwfdecCases();
  for (TCorpusCase& c : cases) {
    // 3 levels per channel on at least 99% of the pixels: 1% may be outliers.
    const TBitmap expected = ReadPngFile(kCorpus / c.Expected);
    c.Checks = {{3, int64_t(expected.Width()) * expected.Height() / 100}};
  }
  RunCorpus(cases, {});
}

// Their pictures come from the suite's own renderer, compared with itself, mostly without
// anti-aliasing: another rasterizer puts some edge pixels on the other side of an outline. Each
// check allows half a percent of the pixels more than its test.toml does.
TEST(CorpusRender, RuffleVisualTestsMatchWithinTheirTolerances) {
  std::vector<std::string> known;
  std::vector<TCorpusCase> cases = RuffleVisualCases(known);
  for (TCorpusCase& c : cases) {
    const TBitmap expected = ReadPngFile(kCorpus / c.Expected);
    for (TTolerance& check : c.Checks)
      check.MaxOutliers += int64_t(expected.Width()) * expected.Height() / 200;
  }
  RunCorpus(cases, known);
}

}  // namespace
}  // namespace kestrava

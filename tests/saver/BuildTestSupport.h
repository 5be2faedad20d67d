#pragma once

// The build command's test fixture: a request for three small pictures into a scratch folder, and
// a feedback that records everything the build shows the user.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "saver/BuildCommand.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava::savertest {

inline const std::filesystem::path kPictures =
    std::filesystem::path(KESTRAVA_TEST_DATA_DIR) / "prepare";

// Everything the build shows the user, in order.
class TRecordingFeedback : public IBuildFeedback {
 public:
  std::vector<std::string> Events;
  void BusyCursor(bool busy) override { Events.push_back(busy ? "busy" : "normal"); }
  void ShowBuildPage() override { Events.push_back("build page"); }
  void StopMusicPreview() override { Events.push_back("music stopped"); }
  void ShowMessage(std::string_view text, TMessageKind kind) override {
    const char* prefix = kind == TMessageKind::Plain         ? "plain: "
                         : kind == TMessageKind::Information ? "information: "
                                                             : "error: ";
    Events.push_back(prefix + std::string(text));
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const std::string& e : Events)
      if (e.starts_with("plain: ") || e.starts_with("information: ") || e.starts_with("error: "))
        out.push_back(e);
    return out;
  }
};

class BuildCommand : public ::testing::Test {
 protected:
  const TBytes runtime_ = Bytes("#!runtime of the test\n");
  const TResource resources_[1] = {{"ExeFile", "Head", runtime_}};
  test::TScratchFolder folder_;

  TBuildRequest Request() const {
    TBuildRequest r;
    r.Sources = {(kPictures / "sequential.jpg").string(),
                 (kPictures / "picture-24bit.bmp").string(), (kPictures / "animated.gif").string()};
    r.TickedStyles = {3, 52};
    r.QuitMode = 2;
    r.IntervalSeconds = 8;
    r.Screen = {160, 120};
    r.OutputDir = folder_.Path().string() + "/";
    r.OutputName = "Test";
    r.Resources = resources_;
    return r;
  }
  std::string Output() const { return (folder_ / "Test.scr").string(); }
};

}  // namespace kestrava::savertest

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/Jpeg.h"
#include "saver/BuildCommand.h"
#include "saver/SaverFileReader.h"
#include "tests/saver/BuildTestSupport.h"
#include "tests/saver/SaverTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using savertest::Bytes;
using savertest::ReadBytes;
using savertest::TBytes;
using savertest::WriteBytes;
using test::TScratchFolder;

using savertest::BuildCommand;
using savertest::kPictures;
using savertest::TRecordingFeedback;

TEST_F(BuildCommand, WritesTheRuntimeAndThePayloadAndSaysSo) {
  TBuildRequest request = Request();
  WriteBytes(folder_ / "a.mid", Bytes("MThd midi"));
  request.Music = {(folder_ / "a.mid").string()};
  TRecordingFeedback feedback;
  const TBuildResult result = RunBuild(request, feedback);
  ASSERT_TRUE(result.Built) << result.FailureReason;
  EXPECT_EQ(result.BuiltSaverPath, Output());
  EXPECT_EQ(feedback.Events, (std::vector<std::string>{"busy", "build page", "music stopped",
                                                       "information: Process succeed!", "normal"}));
  const TBytes file = ReadBytes(Output());
  ASSERT_GE(file.size(), runtime_.size());
  EXPECT_TRUE(std::equal(runtime_.begin(), runtime_.end(), file.begin()));
  EXPECT_NE(fs::status(Output()).permissions() & fs::perms::owner_exec, fs::perms::none);

  const TSaverFileReader saver{fs::path(Output())};
  EXPECT_EQ(saver.Runtime().Size, int64_t(runtime_.size()));
  EXPECT_EQ(saver.Trailer().QuitMode, 2);
  EXPECT_EQ(saver.Trailer().IntervalSeconds, 8);
  EXPECT_EQ(saver.Trailer().EffectFlags[3], 1);
  EXPECT_EQ(saver.Trailer().EffectFlags[52], 1);
  EXPECT_EQ(saver.Trailer().EffectFlags[4], 0);
  ASSERT_EQ(saver.Blocks().size(), 4u);
  EXPECT_EQ(saver.ReadBlock(saver.Blocks()[0]), Bytes("MThd midi"));
  for (size_t i = 1; i < 4; ++i) {
    const TJpegImage picture = DecodeJpeg(saver.ReadBlock(saver.Blocks()[i]));
    EXPECT_EQ(picture.Bitmap.Width(), 160);
    EXPECT_EQ(picture.Bitmap.Height(), 120);
  }
}

// The checks stop a build before anything is written, each with its own message.
TEST_F(BuildCommand, RefusesWhatCannotBeBuilt) {
  struct Case {
    const char* name;
    std::function<void(TBuildRequest&)> edit;
    const char* message;
  };
  const Case cases[] = {
      {"no sources", [](TBuildRequest& r) { r.Sources.clear(); },
       "plain: Please Select Pictures or Flash Files first!"},
      {"no effect", [](TBuildRequest& r) { r.TickedStyles.clear(); },
       "plain: Please select at least one effect for the screensaver!"},
      {"101 pictures", [](TBuildRequest& r) { r.Sources.assign(101, r.Sources.front()); },
       "plain: A picture saver can hold at most 100 files, pictures and music together, and at "
       "most 58 music files; this one has 101 pictures and 0 music files."},
      {"59 music files", [](TBuildRequest& r) { r.Music.assign(59, r.Sources.front()); },
       "plain: A picture saver can hold at most 100 files, pictures and music together, and at "
       "most 58 music files; this one has 3 pictures and 59 music files."},
      {"101 movies",
       [](TBuildRequest& r) {
         r.Kind = TSaverKind::Flash;
         r.Sources.assign(101, r.Sources.front());
       },
       "plain: A Flash saver can hold at most 100 movies; this one has 101."},
      {"flash for windows",
       [](TBuildRequest& r) {
         r.Kind = TSaverKind::Flash;
         r.Target = TSaverTarget::Windows;
       },
       "plain: Flash savers play on Linux only for now: a Flash saver cannot be built for "
       "Windows."},
      {"windows without its runtime", [](TBuildRequest& r) { r.Target = TSaverTarget::Windows; },
       "plain: This builder was made without the Windows saver program, so it cannot build "
       "savers for Windows."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBuildRequest request = Request();
    c.edit(request);
    TRecordingFeedback feedback;
    const TBuildResult result = RunBuild(request, feedback);
    EXPECT_FALSE(result.Built);
    EXPECT_FALSE(result.BuiltSaverPath);
    EXPECT_EQ(feedback.Messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(feedback.Events.front(), "busy");
    EXPECT_EQ(feedback.Events.back(), "normal");
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_TRUE(folder_.Entries().empty());  // no staged file either
  }
}

// The runtime that heads the file is the one of the system the saver is made for.
// The sampling byte (horizontal, vertical) of a JPEG's first component, read from its frame
// header; -1 when there is none.
int LumaSampling(const TBytes& jpeg) {
  for (size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF;) {
    const uint8_t marker = jpeg[at + 1];
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if ((marker == 0xC0 || marker == 0xC2) && at + 12 <= jpeg.size()) return jpeg[at + 11];
    at += 2 + length;
  }
  return -1;
}

TEST_F(BuildCommand, TheTargetChoosesTheRuntime) {
  const TBytes windows = Bytes("MZ windows runtime of the test");
  const TResource both[] = {{"exefile", "headwin", windows}, resources_[0]};
  for (const TSaverTarget target : {TSaverTarget::Linux, TSaverTarget::Windows}) {
    SCOPED_TRACE(int(target));
    TBuildRequest request = Request();
    request.Resources = both;
    request.Target = target;
    TRecordingFeedback feedback;
    const TBuildResult result = RunBuild(request, feedback);
    ASSERT_TRUE(result.Built) << result.FailureReason;
    const TBytes& runtime = target == TSaverTarget::Windows ? windows : runtime_;
    const TSaverFileReader saver{fs::path(Output())};
    EXPECT_EQ(saver.Runtime().Size, int64_t(runtime.size()));
    const TBytes file = ReadBytes(Output());
    EXPECT_TRUE(std::equal(runtime.begin(), runtime.end(), file.begin()));
    EXPECT_EQ(saver.Blocks().size(), 3u);
    // A Windows saver's pictures keep their colour in full, where WIC and libjpeg agree.
    for (const TSaverBlock& block : saver.Blocks()) {
      if (block.Kind == TBlockKind::Picture) {
        EXPECT_EQ(LumaSampling(saver.ReadBlock(block)),
                  target == TSaverTarget::Windows ? 0x11 : 0x22);
      }
    }
  }
}

// A failed build leaves the saver that was there byte for byte and nothing else; the path is
// still the last build's. The failure is an error that names the file and says why ("@" stands
// for the scratch folder).
TEST_F(BuildCommand, AFailedBuildKeepsTheEarlierSaverAndSaysWhichFileAndWhy) {
  WriteBytes(folder_ / "note.jpg", Bytes("not a picture"));
  struct Case {
    const char* name;
    std::function<void(TBuildRequest&)> edit;
    std::vector<std::string> messages;
  };
  const std::string picture = (kPictures / "sequential.jpg").string();
  const Case cases[] = {
      {"unsupported picture",
       [](TBuildRequest& r) { r.Sources.insert(r.Sources.begin() + 1, "/p/shot.tga"); },
       {"plain: file not support\n/p/shot.tga",
        "error: Process failed!\n/p/shot.tga: not a picture kind a saver can show (JPEG, PNG, "
        "WebP, HEIC, BMP or GIF)"}},
      {"missing picture",
       [](TBuildRequest& r) { r.Sources.push_back("/no/such/picture.jpg"); },
       {"error: Process failed!\nCannot open file /no/such/picture.jpg: No such file or "
        "directory"}},
      {"text named .jpg",
       [&](TBuildRequest& r) { r.Sources.push_back((folder_ / "note.jpg").string()); },
       {"error: Process failed!\n@note.jpg: Not a JPEG file: starts with 0x6e 0x6f"}},
      {"missing mask",
       [&](TBuildRequest& r) {
         r.UseMask = true;
         r.MaskFileName = "mask1.jpg";
         r.ProgramDir = folder_.Path();
       },
       {"error: Process failed!\nCannot open file @mask1.jpg: No such file or directory"}},
      {"missing music",
       [](TBuildRequest& r) { r.Music = {"/no/such/music.mp3"}; },
       {"error: Process failed!\nCannot open file /no/such/music.mp3: No such file or directory"}},
      {"no runtime resource",
       [](TBuildRequest& r) { r.Resources = {}; },
       {"error: Process failed!\nCannot write the saver program @Test.scr: the saver program is "
        "missing from this program"}},
  };
  const std::string scratch = folder_.Path().string() + "/";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Output(), Bytes("an earlier saver"));
    TBuildRequest request = Request();
    c.edit(request);
    TRecordingFeedback feedback;
    const TBuildResult result = RunBuild(request, feedback);
    EXPECT_FALSE(result.Built);
    EXPECT_EQ(result.BuiltSaverPath, Output());
    std::vector<std::string> expected;
    for (std::string message : c.messages) {
      for (size_t at; (at = message.find('@')) != std::string::npos;)
        message.replace(at, 1, scratch);
      expected.push_back(message);
    }
    EXPECT_EQ(feedback.Messages(), expected);
    EXPECT_EQ(ReadBytes(Output()), Bytes("an earlier saver"));
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"Test.scr", "note.jpg"}));
  }
}

// A folder that cannot take the saver says so with the system's reason.
TEST_F(BuildCommand, AnUnwritableFolderIsNamedWithTheSystemsReason) {
  TBuildRequest request = Request();
  request.OutputDir = (folder_ / "gone").string() + "/";
  TRecordingFeedback feedback;
  EXPECT_FALSE(RunBuild(request, feedback).Built);
  EXPECT_EQ(feedback.Messages(),
            std::vector<std::string>{"error: Process failed!\nCannot write the saver program " +
                                     (folder_ / "gone" / "Test.scr").string() +
                                     ": No such file or directory"});
}

TEST_F(BuildCommand, FlashNeedsNoEffectAndStoresNoMusic) {
  WriteBytes(folder_ / "a.swf", Bytes("FWS movie a"));
  WriteBytes(folder_ / "b.swf", Bytes("CWS movie b"));
  TBuildRequest request = Request();
  request.Kind = TSaverKind::Flash;
  request.Sources = {(folder_ / "a.swf").string(), (folder_ / "b.swf").string()};
  request.Music = {(folder_ / "a.swf").string()};
  request.TickedStyles.clear();
  request.OutputName.clear();
  request.OutputType = 1;
  TRecordingFeedback feedback;
  const TBuildResult result = RunBuild(request, feedback);
  ASSERT_TRUE(result.Built) << result.FailureReason;
  EXPECT_EQ(result.BuiltSaverPath, (folder_ / "a.exe").string());
  const TSaverFileReader saver{folder_ / "a.exe"};
  ASSERT_EQ(saver.Blocks().size(), 2u);
  EXPECT_EQ(saver.ReadBlock(saver.Blocks()[0]), Bytes("FWS movie a"));
  EXPECT_EQ(saver.ReadBlock(saver.Blocks()[1]), Bytes("CWS movie b"));
}

// No build may write onto its own files, whatever the output settings say.
TEST_F(BuildCommand, NeverOverwritesItsOwnSources) {
  WriteBytes(folder_ / "clip.scr", Bytes("FWS a movie named like a saver"));
  TBuildRequest request = Request();
  request.Kind = TSaverKind::Flash;
  request.Sources = {(folder_ / "clip.scr").string()};
  request.OutputName.clear();
  TRecordingFeedback feedback;
  const TBuildResult result = RunBuild(request, feedback);
  EXPECT_FALSE(result.Built);
  ASSERT_EQ(feedback.Messages().size(), 1u);
  EXPECT_TRUE(feedback.Messages()[0].starts_with("plain: The saver file "))
      << feedback.Messages()[0];
  EXPECT_EQ(ReadBytes(folder_ / "clip.scr"), Bytes("FWS a movie named like a saver"));
}

// The pictures are prepared on several threads; the file must not show it.
TEST_F(BuildCommand, ThreadsDoNotChangeTheFile) {
  TBuildRequest request = Request();
  for (int i = 0; i < 3; ++i)
    request.Sources.push_back(request.Sources[size_t(i)]);
  request.Sources.push_back((kPictures / "progressive.jpg").string());
  std::vector<TBytes> files;
  for (const unsigned threads : {1u, 2u, 5u}) {
    request.Threads = threads;
    TRecordingFeedback feedback;
    ASSERT_TRUE(RunBuild(request, feedback).Built);
    files.push_back(ReadBytes(Output()));
  }
  EXPECT_EQ(files[0], files[1]);
  EXPECT_EQ(files[0], files[2]);
}

}  // namespace
}  // namespace kestrava

// The wizard's music preview on SDL2_mixer, heard by nobody: SDL's dummy audio driver plays in
// real time without a sound card. Each kind of music file opens and plays; files that cannot be
// played throw the mixer's own text and leave the player closed; a new file replaces the old one.
#include "platform/MusicPreview.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/platform/Polling.h"
#include "tests/platform/SoundFiles.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;
using test::PollUntil;
using test::TScratchFolder;
using test::WriteFileText;

// Before any test opens the sound device; a driver named by the environment wins.
const bool kDummyAudio = ::setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

class MusicPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kDummyAudio);
    test::WriteWav(folder_ / "long.wav", 60);
    test::WriteWav(folder_ / "short.wav", 0.2);
    test::WriteMidi(folder_ / "tune.mid", 60);
    test::WriteMp3(folder_ / "song.mp3", 60);
  }

  std::string File(const std::string& name) const { return (folder_ / name).string(); }

  TScratchFolder folder_;
  std::unique_ptr<IMusicPreview> player_ = MakeMusicPreview();
};

TEST_F(MusicPreview, EachKindOpensPlaysAndCloses) {
  for (const std::string name : {"long.wav", "tune.mid", "song.mp3"}) {
    SCOPED_TRACE(name);
    ASSERT_NO_THROW(player_->Open(File(name)));
    EXPECT_FALSE(player_->IsPlaying());  // opening does not start it
    player_->Play();
    EXPECT_TRUE(player_->IsPlaying());
    player_->Close();
    EXPECT_FALSE(player_->IsPlaying());
    player_->Play();  // closed: nothing to play
    EXPECT_FALSE(player_->IsPlaying());
  }
}

TEST_F(MusicPreview, PlaysToTheEndAndAgainFromTheBeginning) {
  player_->Open(File("short.wav"));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    player_->Play();
    EXPECT_TRUE(player_->IsPlaying());
    EXPECT_TRUE(PollUntil([&] { return !player_->IsPlaying(); }));
  }
}

TEST_F(MusicPreview, OpenWhilePlayingReplacesTheFile) {
  player_->Open(File("long.wav"));
  player_->Play();
  ASSERT_TRUE(player_->IsPlaying());
  player_->Open(File("short.wav"));
  EXPECT_FALSE(player_->IsPlaying());  // the old sound ended with its file
  player_->Play();
  EXPECT_TRUE(player_->IsPlaying());
  // Only the new, short file ends this soon; the old one would play for a minute.
  EXPECT_TRUE(PollUntil([&] { return !player_->IsPlaying(); }));
}

TEST_F(MusicPreview, FilesThatCannotBePlayedThrowAndLeaveItClosed) {
  WriteFileText(folder_ / "text.wav", "This is not a sound.\n");
  WriteFileText(folder_ / "text.mid", "This is not a tune either.\n");
  WriteFileText(folder_ / "text.mp3", std::string(4000, 'x'));
  WriteFileText(folder_ / "empty.mp3", "");
  // A tune's header with the rest of the file missing.
  WriteFileText(folder_ / "cut.mid", "MThd");
  fs::create_directories(folder_ / "folder.wav");
  for (const std::string name :
       {"missing.wav", "text.wav", "text.mid", "cut.mid", "text.mp3", "empty.mp3", "folder.wav"}) {
    SCOPED_TRACE(name);
    player_->Open(File("long.wav"));
    player_->Play();
    ASSERT_TRUE(player_->IsPlaying());
    try {
      player_->Open(File(name));
      ADD_FAILURE() << "opened";
    } catch (const EMusicPreviewError& e) {
      EXPECT_STRNE(e.what(), "");
    }
    EXPECT_FALSE(player_->IsPlaying());
    player_->Play();
    EXPECT_FALSE(player_->IsPlaying());
    player_->Close();
  }
}

TEST_F(MusicPreview, CloseAndPlayBeforeAnyOpenDoNothing) {
  player_->Close();
  player_->Play();
  EXPECT_FALSE(player_->IsPlaying());
  // A player dropped while playing stops and lets the next one have the device.
  player_->Open(File("long.wav"));
  player_->Play();
  player_.reset();
  player_ = MakeMusicPreview();
  player_->Open(File("tune.mid"));
  player_->Play();
  EXPECT_TRUE(player_->IsPlaying());
}

}  // namespace
}  // namespace kestrava

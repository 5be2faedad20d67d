#include "app/widgets/FlashPreview.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace kestrava {
namespace {

const QString kMovies = QStringLiteral(KESTRAVA_SOURCE_DIR "/fuzz/inputs/swfheader/");

TEST(FlashPreviewTest, ShowsTheHeaderOfEachKindOfMovie) {
  // The same movie header stored plain, zlib-compressed and LZMA-compressed.
  for (const char* name : {"plain.swf", "zlib.swf", "lzma.swf"}) {
    SCOPED_TRACE(name);
    TFlashPreview preview;
    preview.SetMovie(kMovies + name);
    ASSERT_TRUE(preview.HasMovie());
    const QStringList lines = preview.Text().split(u'\n');
    // The frames the movie really has, not what its header claims (42).
    EXPECT_EQ(lines, (QStringList{name, "550 x 400", "24 fps", "4 frames"}));
    EXPECT_EQ(preview.Movie(), kMovies + name);
    EXPECT_FALSE(preview.Playing());
    preview.Play();
    EXPECT_TRUE(preview.Playing());
  }
}

TEST(FlashPreviewTest, NoswfAndNonMoviesEmptyIt) {
  for (const QString& path :
       {QStringLiteral("noswf"), kMovies + "short.swf", kMovies + "badzlib.swf",
        kMovies + "make_seeds.py", kMovies + "missing.swf"}) {
    SCOPED_TRACE(path.toStdString());
    TFlashPreview preview;
    preview.SetMovie(kMovies + "plain.swf");
    preview.Play();
    preview.SetMovie(path);
    EXPECT_FALSE(preview.HasMovie());
    EXPECT_TRUE(preview.Text().isEmpty());
    EXPECT_FALSE(preview.Playing());
    EXPECT_EQ(preview.Movie(), path);
    preview.Play();
    EXPECT_FALSE(preview.Playing()) << "nothing to play";
  }
}

TEST(FlashPreviewTest, ReportsEveryMousePress) {
  TFlashPreview preview;
  preview.resize(168, 136);
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  QSignalSpy pressed(&preview, &TFlashPreview::MousePressed);
  QTest::mousePress(&preview, Qt::RightButton, {}, QPoint(20, 20));
  QTest::mousePress(&preview, Qt::LeftButton, {}, QPoint(30, 30));
  ASSERT_EQ(pressed.count(), 2);
  EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(pressed[1][0].value<Qt::MouseButton>(), Qt::LeftButton);
}

// Two frames of 100 x 75 pixels at 12 fps, one background colour.
QByteArray TwoFrameMovie(uint8_t r, uint8_t g, uint8_t b) {
  QByteArray body;
  body.append("\x68\x00\x1F\x40\x00\x05\xDC\x00", 8);  // RECT 0..2000 x 0..1500 twips
  body.append("\x00\x0C\x02\x00", 4);                     // 12 fps, 2 frames
  body.append("\x43\x02", 2);                               // SetBackgroundColor
  body.append(char(r)).append(char(g)).append(char(b));
  body.append("\x40\x00\x40\x00\x00\x00", 6);           // ShowFrame, ShowFrame, End
  const int length = 8 + int(body.size());
  QByteArray movie("FWS\x06", 4);
  movie.append(char(length)).append(char(length >> 8)).append('\0').append('\0');
  return movie + body;
}

TEST(FlashPreviewTest, PlaysTheMovieScaledToFitOnItsBackground) {
  QTemporaryDir dir;
  const QString path = dir.filePath("two.swf");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(TwoFrameMovie(0x20, 0x90, 0xE0));
  }
  TFlashPreview preview;
  preview.resize(167, 136);
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  preview.SetMovie(path);
  ASSERT_TRUE(preview.HasMovie());
  preview.Play();
  // Frames come at the movie's own rate; a stopped clock would never get here.
  EXPECT_TRUE(QTest::qWaitFor([&] { return preview.FramesPlayed() >= 2; }, 5000));
  const QImage shown = preview.grab().toImage();
  EXPECT_EQ(shown.pixelColor(83, 68), QColor(0x20, 0x90, 0xE0));
  preview.SetMovie("noswf");
  EXPECT_EQ(preview.grab().toImage().pixelColor(83, 68), preview.palette().window().color());
}

}  // namespace
}  // namespace kestrava

#include "app/widgets/FlashPreview.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
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
    EXPECT_EQ(lines, (QStringList{name, "550 x 400", "24 fps", "42 frames"}));
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

}  // namespace
}  // namespace kestrava

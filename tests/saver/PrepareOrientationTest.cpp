#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "saver/FitToScreen.h"
#include "saver/PreparePicture.h"
#include "tests/support/OrientedJpeg.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

// A portrait photograph stored each of the eight ways lands upright on a landscape screen, with
// black bars beside it: at its own size, and shrunk enough that the rows come scaled down.
TEST(PrepareOrientation, StoredPictureIsUprightWhateverWayTheCameraStoredIt) {
  constexpr int kCell = 24;
  const TBitmap upright = test::CellPicture(kCell);
  test::TScratchFolder folder;
  for (const TScreenSize screen : {TScreenSize{160, 120}, TScreenSize{64, 48}})
    for (int orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE(std::to_string(screen.Width) + " x " + std::to_string(screen.Height) +
                   ", orientation " + std::to_string(orientation));
      const std::filesystem::path file = folder / ("photo" + std::to_string(orientation) + ".jpg");
      WriteFileBytes(file,
                     test::WithExif(EncodeJpeg(test::StoredAs(upright, orientation), false),
                                    test::OrientationTiff(orientation % 2 == 1, orientation)));
      const TBitmap shown = DecodeJpeg(PreparePicture(file, screen, nullptr)).Bitmap;
      ASSERT_EQ(shown.Width(), screen.Width);
      ASSERT_EQ(shown.Height(), screen.Height);
      const TRect place = ScreenPlacement(upright.Width(), upright.Height(), screen);
      ASSERT_LT(place.Width(), screen.Width / 2);
      const int middle = screen.Height / 2;
      EXPECT_TRUE(test::NearColour(shown.PixelAt(place.Left / 2, middle), 0, 8));
      EXPECT_TRUE(test::NearColour(shown.PixelAt((place.Right + screen.Width) / 2, middle), 0, 8));
      const double cell = double(place.Width()) / test::kCellColumns;
      for (int row = 0; row < test::kCellRows; ++row)
        for (int column = 0; column < test::kCellColumns; ++column) {
          const int x = place.Left + int((column + 0.5) * cell);
          const int y = place.Top + int((row + 0.5) * cell);
          EXPECT_TRUE(test::NearColour(shown.PixelAt(x, y), test::kCellColours[row][column]))
              << "cell " << column << ", " << row;
        }
    }
}

}  // namespace
}  // namespace kestrava

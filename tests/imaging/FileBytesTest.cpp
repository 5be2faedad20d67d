#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/FileBytes.h"
#include "imaging/ImageErrors.h"

namespace kestrava {
namespace {

// What is no readable file fails as a picture error, not with an allocation of the size a
// folder reports.
TEST(ReadFileBytes, RefusesWhatIsNoFile) {
  const std::filesystem::path folder = ::testing::TempDir();
  EXPECT_THROW(ReadFileBytes(folder), EImageError);
  EXPECT_THROW(ReadFileBytes(folder / "no-such-file.jpg"), EImageError);
}

}  // namespace
}  // namespace kestrava

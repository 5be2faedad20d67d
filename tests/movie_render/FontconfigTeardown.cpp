// The fallback font of text fields comes through cairo from fontconfig, which keeps its
// configuration until told otherwise; releasing it at the end keeps leak checkers quiet.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class TReleaseFontCaches : public ::testing::Environment {
 public:
  void TearDown() override {
    cairo_debug_reset_static_data();
    FcFini();
  }
};

const auto* const kRelease = ::testing::AddGlobalTestEnvironment(new TReleaseFontCaches);

}  // namespace

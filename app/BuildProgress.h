#pragma once

#include <cstddef>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kestrava {

// "Picture i of n" while a build prepares its pictures. The dialog appears only when the build
// takes longer than a moment, and goes before any message of the build is shown.
class TBuildProgress {
 public:
  static constexpr int kShowAfterMs = 500;

  explicit TBuildProgress(QWidget& owner);
  ~TBuildProgress();
  TBuildProgress(const TBuildProgress&) = delete;
  TBuildProgress& operator=(const TBuildProgress&) = delete;

  // Picture `index` (from 0) of `count` is ready. Keeps the windows painted meanwhile.
  void PictureWritten(size_t index, size_t count);
  void Close();
  // The dialog while it exists (for a look from the tests).
  QProgressDialog* Dialog() const { return dialog_.get(); }

 private:
  QWidget& owner_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace kestrava

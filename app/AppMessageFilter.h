#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace kestrava {

// The application-wide hook that keeps right-button presses away from the movie preview, so
// that it never opens a menu of its own. Every other event passes, the right-button release
// included.
class AppMessageFilter : public QObject {
 public:
  explicit AppMessageFilter(QWidget& swfPreview, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> swfPreview_;
};

}  // namespace kestrava

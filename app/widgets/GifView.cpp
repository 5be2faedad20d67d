#include "app/widgets/GifView.h"

#include <exception>
#include <utility>

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include "imaging/GifPicture.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"

namespace kestrava {

TGifView::TGifView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TGifView::~TGifView() {
  // The painter is stopped while this widget can still serve its last steps.
  picture_.reset();
}

void TGifView::ShowGif(const std::string& path) {
  auto picture = std::make_unique<TGifPicture>();
  picture->LoadFromFile(path);
  // A file without any colour table fails here, before the old picture goes.
  picture->Bitmap();
  Replace(std::move(picture));
}

void TGifView::ShowGif(std::unique_ptr<TGifPicture> picture) {
  Replace(std::move(picture));
}

void TGifView::Clear() {
  Replace(nullptr);
}

bool TGifView::IsEmpty() const {
  return !picture_ || picture_->Empty();
}

void TGifView::Replace(std::unique_ptr<TGifPicture> picture) {
  // The old painter ends before the new picture may start one.
  picture_.reset();
  framesShown_ = 0;
  picture_ = std::move(picture);
  if (picture_) {
    picture_->SetPainterHost(this);
    picture_->OnChange = [this](TGifPicture&) {
      ++framesShown_;
      update();
      emit FrameShown();
    };
  }
  update();
}

void TGifView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor background = palette().window().color();
  if (IsEmpty() || width() <= 0 || height() <= 0) {
    painter.fillRect(event->rect(), background);
    return;
  }
  // The picture draws into a bitmap of the widget's size: the first drawing of an animation
  // starts the painter, later ones show the animation as far as it has played.
  TBitmap canvas(width(), height());
  canvas.Canvas().Brush.Color =
      RGBColor(uint8_t(background.red()), uint8_t(background.green()), uint8_t(background.blue()));
  canvas.Canvas().FillRect({0, 0, width(), height()});
  try {
    picture_->Draw(canvas.Canvas(), {0, 0, width(), height()});
  } catch (const std::exception&) {
    // An exception may not cross Qt's event dispatch; a frame that cannot be drawn leaves the
    // background.
  }
  const QImage image(canvas.ScanLine(0), canvas.Width(), canvas.Height(),
                     qsizetype(canvas.Stride()), QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
}

void TGifView::Synchronize(const std::function<void()>& step) {
  steps_.Send(step);
}

void TGifView::WaitServing(const std::function<bool()>& done) {
  steps_.WaitServing(done);
}

void TGifView::Wake() {
  steps_.Wake();
}

void TGifView::WakeGuiThread() {
  if (wakePosted_.exchange(true)) return;
  // Queued to the widget itself: the painter is stopped before the widget goes, and a call
  // still queued then is dropped with it.
  QMetaObject::invokeMethod(
      this, [this] { ServeQueued(); }, Qt::QueuedConnection);
}

void TGifView::ServeQueued() {
  // Cleared before serving: a step queued from here on posts a wake-up of its own.
  wakePosted_ = false;
  steps_.ServeAll();
}

}  // namespace kestrava

#include "app/widgets/PictureView.h"

#include <filesystem>
#include <memory>
#include <utility>

#include <QPaintEvent>
#include <QPainter>

#include "app/widgets/BitmapImage.h"
#include "app/widgets/GifView.h"
#include "imaging/GifPicture.h"
#include "imaging/PictureLoader.h"

namespace kestrava {

namespace {

// A GIF by its content, whatever its name: only a GIF may be animated.
bool IsGifFile(const std::string& path) {
  return PictureReaderOf(path) == TPictureContent::Gif;
}

}  // namespace

TPictureView::TPictureView(QWidget* parent) : QWidget(parent), animation_(new TGifView(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  animation_->hide();
}

void TPictureView::ShowFile(const std::string& path) {
  // Everything is read before anything shown changes: a failure keeps the old picture.
  if (IsGifFile(path)) {
    auto gif = std::make_unique<TGifPicture>();
    gif->LoadFromFile(path);
    const TBitmap* first = gif->Bitmap();
    if (gif->Images().Count() > 1) {
      image_ = QImage();
      animation_->setGeometry(rect());
      animation_->ShowGif(std::move(gif));
      animation_->show();
      shownFile_ = QString::fromStdString(path);
      update();
      return;
    }
    ShowStill(first ? ToQImage(*first) : QImage());
  } else {
    ShowStill(ToQImage(LoadPicture(path)));
  }
  shownFile_ = image_.isNull() ? QString() : QString::fromStdString(path);
}

void TPictureView::ShowStill(QImage image) {
  animation_->hide();
  animation_->Clear();
  image_ = std::move(image);
  update();
}

void TPictureView::Clear() {
  ShowStill(QImage());
  shownFile_.clear();
}

bool TPictureView::IsEmpty() const {
  return image_.isNull() && animation_->IsEmpty();
}

QString TPictureView::ShownFile() const {
  return shownFile_;
}

void TPictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (image_.isNull()) {
    painter.fillRect(event->rect(), palette().window());
    return;
  }
  // Stretched over the whole view, proportions not kept.
  painter.drawImage(rect(), image_);
}

void TPictureView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  animation_->setGeometry(rect());
}

}  // namespace kestrava

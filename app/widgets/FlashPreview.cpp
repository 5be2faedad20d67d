#include "app/widgets/FlashPreview.h"

#include <cstdint>
#include <span>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "movie/MovieInfo.h"

namespace kestrava {

namespace {

// The header of the movie at path as lines of text; empty when it is no readable movie.
QString DescribeMovie(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray head = file.read(TFlashPreview::kHeaderReadLimit);
  TMovieInfo info;
  try {
    info = ReadMovieInfo(
        std::span(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size())));
  } catch (const EMovieInfoError&) {
    return {};
  }
  // The frame rate is 8.8 fixed point: 24 fps, or 29.97 fps.
  QString rate = QString::number(info.FrameRate / 256.0, 'f', 2);
  while (rate.endsWith(u'0'))
    rate.chop(1);
  if (rate.endsWith(u'.')) rate.chop(1);
  return QStringLiteral("%1\n%2 x %3\n%4 fps\n%5 frames")
      .arg(QFileInfo(path).fileName())
      .arg(info.WidthPixels())
      .arg(info.HeightPixels())
      .arg(rate)
      .arg(info.FrameCount);
}

}  // namespace

TFlashPreview::TFlashPreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFlashPreview::SetMovie(const QString& path) {
  movie_ = path;
  playing_ = false;
  // "noswf" names no file on purpose: it empties the preview.
  text_ = path == QStringLiteral("noswf") ? QString() : DescribeMovie(path);
  update();
}

void TFlashPreview::Play() {
  playing_ = HasMovie();
  update();
}

void TFlashPreview::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!HasMovie()) {
    painter.fillRect(event->rect(), palette().window());
    return;
  }
  painter.fillRect(rect(), Qt::black);
  painter.setPen(playing_ ? Qt::white : Qt::gray);
  painter.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, text_);
}

void TFlashPreview::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(event->button());
  QWidget::mousePressEvent(event);
}

}  // namespace kestrava

#include "app/widgets/FlashPreview.h"

#include <algorithm>
#include <exception>

#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "movie/play/MoviePlayer.h"
#include "movie/sound/MovieSound.h"

namespace kestrava {

namespace {

// How often the preview looks at the movie's clock; frames come at the movie's own rate.
constexpr int kTickMilliseconds = 10;

QString Describe(const QString& path, const TMoviePlayer& player) {
  QString rate = QString::number(player.FrameRate(), 'f', 2);
  while (rate.endsWith(u'0'))
    rate.chop(1);
  if (rate.endsWith(u'.')) rate.chop(1);
  return QStringLiteral("%1\n%2 x %3\n%4 fps\n%5 frames")
      .arg(QFileInfo(path).fileName())
      .arg(player.Width())
      .arg(player.Height())
      .arg(rate)
      .arg(player.FrameCount());
}

}  // namespace

TFlashPreview::TFlashPreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(kTickMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TFlashPreview::Tick);
}

TFlashPreview::~TFlashPreview() = default;

void TFlashPreview::SetMovie(const QString& path) {
  timer_.stop();
  movie_ = path;
  playing_ = false;
  framesPlayed_ = 0;
  sound_.reset();
  player_.reset();
  text_.clear();
  // "noswf" names no file on purpose: it empties the preview.
  if (path != QStringLiteral("noswf")) {
    try {
      player_ = TMoviePlayer::LoadFile(path.toStdString());
      text_ = Describe(path, *player_);
    } catch (const std::exception&) {
      // Not a movie we can read: the preview stays empty, as for "noswf".
      player_.reset();
    }
  }
  setToolTip(text_);
  RenderFrame();
  update();
}

void TFlashPreview::Play() {
  if (!player_ || playing_) return;
  playing_ = true;
  if (!sound_) {
    try {
      sound_ = std::make_unique<TMovieSound>(player_->SharedMovie());
    } catch (const std::exception&) {
      sound_.reset();  // the movie plays silent
    }
  }
  clock_.start();
  player_->AdvanceTo(0);  // the movie's clock starts now
  timer_.start();
}

void TFlashPreview::Tick() {
  if (!player_) return;
  const bool advanced = player_->AdvanceTo(uint64_t(clock_.elapsed()));
  if (sound_) sound_->Handle(player_->TakeSoundEvents());
  if (!advanced) return;
  ++framesPlayed_;
  RenderFrame();
  update();
}

void TFlashPreview::RenderFrame() {
  if (!player_ || width() <= 0 || height() <= 0) {
    frame_ = TBitmap();
    return;
  }
  if (frame_.Width() != width() || frame_.Height() != height()) frame_ = TBitmap(width(), height());
  try {
    player_->Render(frame_);
  } catch (const std::exception&) {
    frame_ = TBitmap();
  }
}

void TFlashPreview::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (frame_.Empty()) {
    painter.fillRect(event->rect(), palette().window());
    return;
  }
  // Device bitmaps are 32-bit BGRX rows: Qt's RGB32 on little-endian machines.
  const QImage image(frame_.ScanLine(0), frame_.Width(), frame_.Height(),
                     qsizetype(frame_.Stride()), QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
}

void TFlashPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RenderFrame();
}

void TFlashPreview::mousePressEvent(QMouseEvent* event) {
  emit MousePressed(event->button());
  QWidget::mousePressEvent(event);
}

}  // namespace kestrava

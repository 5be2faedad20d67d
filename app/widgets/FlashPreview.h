#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "raster/Bitmap.h"

namespace kestrava {

class TMoviePlayer;
class TMovieSound;

// The movie preview: loads a Flash movie by its path and plays it at its own frame rate, scaled
// to fit the widget on the movie's background colour, with its sound. Setting "noswf", or a file
// that is no readable movie, empties it.
class TFlashPreview : public QWidget {
  Q_OBJECT

 public:
  explicit TFlashPreview(QWidget* parent = nullptr);
  ~TFlashPreview() override;

  void SetMovie(const QString& path);
  // The path last set, also when it loaded nothing.
  QString Movie() const { return movie_; }
  // Starts the loaded movie from where it is; without a movie nothing plays.
  void Play();
  bool Playing() const { return playing_; }
  bool HasMovie() const { return player_ != nullptr; }
  // What the movie's header says (file name, frame size, rate, count), one per line; empty
  // without a movie. Also the widget's tooltip.
  QString Text() const { return text_; }
  // Frames advanced since the movie was set.
  int FramesPlayed() const { return framesPlayed_; }

 signals:
  // Every mouse press that reaches the widget.
  void MousePressed(Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Tick();
  void RenderFrame();

  QString movie_;
  QString text_;
  bool playing_ = false;
  int framesPlayed_ = 0;
  std::unique_ptr<TMoviePlayer> player_;
  std::unique_ptr<TMovieSound> sound_;
  QTimer timer_;
  QElapsedTimer clock_;
  TBitmap frame_;
};

}  // namespace kestrava

#pragma once

#include <QString>
#include <QWidget>

namespace kestrava {

// The movie preview until a real movie player exists: it loads a movie by its path and shows
// what the movie's header says (frame size, frame rate, frame count) as text. Setting "noswf",
// or any file that is no readable movie, empties it.
class TFlashPreview : public QWidget {
  Q_OBJECT

 public:
  // Movie headers sit at the start; no more than this is read of a file.
  static constexpr qint64 kHeaderReadLimit = 64 * 1024;

  explicit TFlashPreview(QWidget* parent = nullptr);

  void SetMovie(const QString& path);
  // The path last set, also when it loaded nothing.
  QString Movie() const { return movie_; }
  // Starts the loaded movie; without a movie nothing plays.
  void Play();
  bool Playing() const { return playing_; }
  bool HasMovie() const { return !text_.isEmpty(); }
  // What the preview shows; empty without a movie.
  QString Text() const { return text_; }

 signals:
  // Every mouse press that reaches the widget.
  void MousePressed(Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString movie_;
  QString text_;
  bool playing_ = false;
};

}  // namespace kestrava

#pragma once

#include <string>

#include <QImage>
#include <QString>
#include <QWidget>

namespace kestrava {

class TGifView;

// The stretched picture of the source preview: the picture fills the whole widget without
// keeping its proportions. Pictures are those the loader reads (named JPEG, PNG, WebP, HEIC, BMP
// or GIF, read by their content); a GIF of several frames animates through a TGifView that
// covers this widget.
class TPictureView : public QWidget {
 public:
  explicit TPictureView(QWidget* parent = nullptr);

  // Loads the file as the picture loader reads it. Throws the reader's error (for instance "Unknown
  // picture file extension (.%s)"), keeping what it showed before.
  void ShowFile(const std::string& path);
  void Clear();
  bool IsEmpty() const;
  // The file shown; empty when nothing is shown.
  QString ShownFile() const;
  // The still picture shown (null when empty or when an animation is shown).
  const QImage& Image() const { return image_; }
  // The view that plays animated GIFs.
  TGifView& Animation() const { return *animation_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowStill(QImage image);

  QImage image_;
  QString shownFile_;
  TGifView* animation_;  // child, hidden unless an animated GIF is shown
};

}  // namespace kestrava

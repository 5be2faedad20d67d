#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "imaging/GifPainterHost.h"
#include "raster/SentCallQueue.h"

namespace kestrava {

class TGifPicture;

// Shows a GIF stretched over the whole widget without keeping its proportions; a GIF of several
// frames animates through the GIF painter thread, whose host the widget is. The painter's
// drawing steps run on the GUI thread: from its event loop, or while it waits for the painter to
// end (Clear, a new picture, destruction).
class TGifView : public QWidget, public IGifPainterHost {
  Q_OBJECT

 public:
  explicit TGifView(QWidget* parent = nullptr);
  ~TGifView() override;
  TGifView(const TGifView&) = delete;
  TGifView& operator=(const TGifView&) = delete;

  // Reads the file and shows it. Throws the reader's error and then keeps what it showed.
  void ShowGif(const std::string& path);
  // Shows a picture read already (not null); the view takes it over.
  void ShowGif(std::unique_ptr<TGifPicture> picture);
  void Clear();
  bool IsEmpty() const;
  // The picture shown, null when empty.
  const TGifPicture* Picture() const { return picture_.get(); }
  // How many animation steps have been drawn since the picture was shown.
  int FramesShown() const { return framesShown_; }

  // IGifPainterHost
  void Synchronize(const std::function<void()>& step) override;
  void WaitServing(const std::function<bool()>& done) override;
  void Wake() override;

  bool IsGuiThread() const { return steps_.IsUiThread(); }

 signals:
  // The animation drew a new frame (GUI thread).
  void FrameShown();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Any thread: asks the event loop of the GUI thread to run ServeQueued.
  void WakeGuiThread();
  void ServeQueued();
  void Replace(std::unique_ptr<TGifPicture> picture);

  TSentCallQueue steps_{[this] { WakeGuiThread(); }};
  std::atomic<bool> wakePosted_{false};
  int framesShown_ = 0;

  // Last member: destroyed first, it stops its painter while the queue above still exists.
  std::unique_ptr<TGifPicture> picture_;
};

}  // namespace kestrava

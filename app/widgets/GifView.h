#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <QWidget>

#include "imaging/GifPainterHost.h"

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

  bool IsGuiThread() const { return std::this_thread::get_id() == guiThread_; }

 signals:
  // The animation drew a new frame (GUI thread).
  void FrameShown();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct TSent {
    const std::function<void()>* Step = nullptr;
    bool Done = false;
    std::exception_ptr Error;
  };

  bool ServeOne();
  void ServeQueued();
  void Replace(std::unique_ptr<TGifPicture> picture);

  const std::thread::id guiThread_;
  std::mutex mutex_;
  std::condition_variable work_;    // wakes WaitServing
  std::condition_variable served_;  // wakes the painter whose step has run
  std::deque<TSent*> sent_;
  bool woken_ = false;
  bool wakePosted_ = false;
  int framesShown_ = 0;

  // Last member: destroyed first, it stops its painter while the queues above still exist.
  std::unique_ptr<TGifPicture> picture_;
};

}  // namespace kestrava

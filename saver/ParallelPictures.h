#pragma once

// The pictures of one build prepared on several threads and handed out in list order, so that the
// saver file is written exactly as a one-thread build writes it.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "saver/ParallelPicturesBudget.h"
#include "saver/SaverPayload.h"

namespace kestrava {

class TParallelPictures : public IPreparedPictures {
 public:
  using TPrepare = std::function<std::vector<uint8_t>(size_t index)>;

  // Starts up to `threads` workers (at least one) for `count` pictures. A worker works at most a
  // few pictures ahead of the one asked for, so memory holds one decoded picture per worker and a
  // handful of finished JPEGs, never the whole list; and the decoded pictures in hand together
  // stay within decodeBudget bytes (TDecodeReservation, made by the preparation).
  TParallelPictures(size_t count, TPrepare prepare, unsigned threads,
                    int64_t decodeBudget = kBuildDecodeBudget);
  // Stops the workers after the picture each has in hand.
  ~TParallelPictures() override;
  TParallelPictures(const TParallelPictures&) = delete;
  TParallelPictures& operator=(const TParallelPictures&) = delete;

  // Waits for picture `index` and gives it, or throws what preparing it threw. Each index once,
  // in ascending order.
  std::vector<uint8_t> Prepared(size_t index) override;

  // How many pictures may be finished or in hand beyond the one asked for.
  size_t Window() const { return window_; }

 private:
  struct TSlot {
    std::optional<std::vector<uint8_t>> Bytes;
    std::exception_ptr Error;
  };

  void Work();

  const size_t count_;
  const TPrepare prepare_;
  TDecodeBudget budget_;
  size_t window_ = 1;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TSlot> slots_;
  size_t next_ = 0;      // the next picture a worker takes
  size_t consumed_ = 0;  // pictures handed out so far
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The workers a build uses on this machine: one per core.
unsigned BuildThreads();

}  // namespace kestrava

#include "saver/ParallelPictures.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kestrava {

TParallelPictures::TParallelPictures(size_t count, TPrepare prepare, unsigned threads,
                                     int64_t decodeBudget)
    : count_(count), prepare_(std::move(prepare)), budget_(decodeBudget), slots_(count) {
  const size_t workers = std::clamp<size_t>(threads, 1, std::max<size_t>(count, 1));
  window_ = 2 * workers;
  workers_.reserve(workers);
  for (size_t i = 0; i < workers; ++i)
    workers_.emplace_back([this] { Work(); });
}

TParallelPictures::~TParallelPictures() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : workers_)
    t.join();
}

void TParallelPictures::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock,
                  [this] { return stopping_ || next_ >= count_ || next_ < consumed_ + window_; });
    if (stopping_ || next_ >= count_) return;
    const size_t index = next_++;
    lock.unlock();
    TSlot result;
    const TDecodeBudgetScope scope(&budget_);
    try {
      result.Bytes = prepare_(index);
    } catch (...) {
      result.Error = std::current_exception();
    }
    lock.lock();
    slots_[index] = std::move(result);
    changed_.notify_all();
  }
}

std::vector<uint8_t> TParallelPictures::Prepared(size_t index) {
  std::unique_lock lock(mutex_);
  if (index >= count_ || index < consumed_)
    throw std::logic_error("pictures are handed out once each, in order");
  consumed_ = index;
  changed_.notify_all();  // the window moved
  changed_.wait(lock, [&] { return slots_[index].Bytes || slots_[index].Error; });
  TSlot slot = std::move(slots_[index]);
  slots_[index] = {};
  consumed_ = index + 1;
  changed_.notify_all();
  if (slot.Error) std::rethrow_exception(slot.Error);
  return std::move(*slot.Bytes);
}

unsigned BuildThreads() {
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace kestrava

#include "saver/ParallelPicturesBudget.h"

#include <algorithm>

namespace kestrava {

namespace {

thread_local TDecodeBudget* currentBudget = nullptr;

}  // namespace

void TDecodeBudget::Take(int64_t bytes) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return holders_ == 0 || bytes <= limit_ - inHand_; });
  inHand_ += bytes;
  ++holders_;
}

void TDecodeBudget::Give(int64_t bytes) {
  {
    std::lock_guard lock(mutex_);
    inHand_ -= bytes;
    --holders_;
  }
  changed_.notify_all();
}

TDecodeBudgetScope::TDecodeBudgetScope(TDecodeBudget* budget) : previous_(currentBudget) {
  currentBudget = budget;
}

TDecodeBudgetScope::~TDecodeBudgetScope() {
  currentBudget = previous_;
}

TDecodeReservation::TDecodeReservation(int64_t bytes)
    : budget_(currentBudget), bytes_(std::max<int64_t>(bytes, 0)) {
  if (budget_) budget_->Take(bytes_);
}

TDecodeReservation::~TDecodeReservation() {
  if (budget_) budget_->Give(bytes_);
}

}  // namespace kestrava

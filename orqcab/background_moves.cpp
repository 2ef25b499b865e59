#include "orqcab/background_moves.h"

#include <system_error>

void BackgroundMoves::Post(std::size_t id, HANDLE file, HANDLE folder, std::string name) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({id, file, folder, std::move(name)});
  }
  if (!worker_.joinable()) {
    try {
      worker_ = std::thread(&BackgroundMoves::Work, this);
    } catch (const std::system_error&) {  // no thread to be had: this one moves
      std::lock_guard<std::mutex> lock(mutex_);
      for (const Move& move : queue_) {
        results_.emplace_back(move.id, move_(move.file, move.folder, move.name));
      }
      queue_.clear();
      return;
    }
  }
  ready_.notify_one();
}

std::vector<std::pair<std::size_t, DWORD>> BackgroundMoves::Finish() {
  if (worker_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    ready_.notify_one();
    worker_.join();
    closing_ = false;
  }
  return std::exchange(results_, {});
}

void BackgroundMoves::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [this] { return closing_ || !queue_.empty(); });
    if (queue_.empty()) return;  // closing, and nothing is left
    Move move = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    const DWORD error = move_(move.file, move.folder, move.name);
    lock.lock();
    results_.emplace_back(move.id, error);
  }
}

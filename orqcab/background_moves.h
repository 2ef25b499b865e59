#pragma once
// Moves of written files to their new names, on a thread of their own beside the
// extraction: under Wine a name not yet in a folder costs a look through the whole
// folder, work the extraction need not wait for on a machine with a second core.
#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class BackgroundMoves {
 public:
  // Moves the open `file` to `name` in the open `folder`, replacing nothing; a system
  // error code, 0 on success.
  using MoveFn = DWORD (*)(HANDLE file, HANDLE folder, const std::string& name);
  explicit BackgroundMoves(MoveFn move) : move_(move) {}
  BackgroundMoves(const BackgroundMoves&) = delete;
  BackgroundMoves& operator=(const BackgroundMoves&) = delete;
  ~BackgroundMoves() { Finish(); }

  // Queues a move; `id` names its result. The handles stay open until Finish returns.
  void Post(std::size_t id, HANDLE file, HANDLE folder, std::string name);
  // Waits until every queued move is done, and hands over their results (id, error)
  // in the order they were queued.
  std::vector<std::pair<std::size_t, DWORD>> Finish();

 private:
  struct Move {
    std::size_t id;
    HANDLE file;
    HANDLE folder;
    std::string name;
  };
  void Work();

  MoveFn move_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Move> queue_;
  std::vector<std::pair<std::size_t, DWORD>> results_;
  bool closing_ = false;
  std::thread worker_;
};

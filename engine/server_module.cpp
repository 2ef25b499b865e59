#include "engine/server_module.h"

#include <atomic>

namespace {
std::atomic<long>& LockCount() {
  static std::atomic<long> count{0};
  return count;
}
}  // namespace

long ServerModuleLock() { return ++LockCount(); }

long ServerModuleUnlock() { return --LockCount(); }

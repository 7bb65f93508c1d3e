// The replaced non-throwing operator new of the hardening tests. The countdown is the one piece
// of global state in these tests: operator new has no other place to find it.
#include "hardening/alloc_failure.h"

#include <atomic>
#include <cstddef>
#include <new>

namespace hardening {
namespace {
std::atomic<int> countdown{0};

bool FailNow() {
  int n = countdown.load();
  while (n > 0 && !countdown.compare_exchange_weak(n, n - 1)) {
  }
  return n == 1;
}
}  // namespace

void FailNothrowAllocation(int n) {
  countdown.store(n);
}

bool NothrowFailurePending() {
  return countdown.load() > 0;
}

}  // namespace hardening

// The memory comes from the ordinary operator new, so that the ordinary delete releases it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (hardening::FailNow()) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (hardening::FailNow()) return nullptr;
  try {
    return ::operator new[](size);
  } catch (...) {
    return nullptr;
  }
}

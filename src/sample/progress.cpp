// The calling thread's progress handler.
#include "sample/internal/progress.h"

#include <algorithm>

namespace mensora {
namespace internal {

namespace {

struct Progress {
  ProgressFn fn = nullptr;
  void* userData = nullptr;
  bool cancelled = false;
};

thread_local Progress progress;

}  // namespace

void SetProgressHandler(ProgressFn fn, void* userData) noexcept {
  progress.fn = fn;
  progress.userData = fn != nullptr ? userData : nullptr;
}

bool ProgressWatched() noexcept { return progress.fn != nullptr; }

bool ContinueWork(double fractionDone) noexcept {
  Progress& p = progress;
  if (p.fn == nullptr) return true;
  if (p.cancelled) return false;
  // A fraction a hair outside 0..1 from a rounded estimate is clamped.
  if (p.fn(p.userData, std::min(1.0, std::max(0.0, fractionDone))) != 0) p.cancelled = true;
  return !p.cancelled;
}

void BeginWork() noexcept { progress.cancelled = false; }

bool WorkCancelled() noexcept { return progress.cancelled; }

}  // namespace internal
}  // namespace mensora

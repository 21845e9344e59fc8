// The calling thread's progress handler and the polling of the long loops.
// A loop polls only on the thread that made the call; threads it starts see
// no handler and are stopped by the loop itself. With no handler set a poll
// is one thread-local read.
#ifndef MENSORA_SAMPLE_INTERNAL_PROGRESS_H
#define MENSORA_SAMPLE_INTERNAL_PROGRESS_H

namespace mensora {
namespace internal {

using ProgressFn = int (*)(void* userData, double fractionDone);

// Sets (fn non-null) or clears the calling thread's handler.
void SetProgressHandler(ProgressFn fn, void* userData) noexcept;

// Whether the calling thread has a handler.
bool ProgressWatched() noexcept;

// Reports the fraction done of the current call to the calling thread's
// handler: false once the handler asked to stop, for the rest of the call.
// True when no handler is set.
bool ContinueWork(double fractionDone) noexcept;

// Starts a call of the C interface: forgets a stop of an earlier call.
void BeginWork() noexcept;

// Whether the handler asked the current call to stop.
bool WorkCancelled() noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_SAMPLE_INTERNAL_PROGRESS_H

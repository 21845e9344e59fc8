// C interface: the reason text of this thread's last failed call and the
// limit on the number of classes, each written once for every binding.
#include <cstdint>

#include "capi/internal/handle.h"
#include "mensora_c.h"

namespace {

// Long enough for every reason the library writes, numbers included.
thread_local char reasonText[mensora::capi::kReasonSize] = "";

}  // namespace

namespace mensora {
namespace capi {

char* ReasonBuffer() noexcept { return reasonText; }

int Failed(int status) noexcept {
  if (status < 0) Fail(status, "%s", mensora_status_message(status));
  return status;
}

int ClassCountRefused(std::int64_t k, std::int32_t n) noexcept {
  if (k >= 1 && k <= mensora_class_limit(n)) return MENSORA_OK;
  if (k < 1) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the number of classes must be 1 or more, not %.17g",
                static_cast<double>(k));
  }
  return Fail(MENSORA_ERROR_ARGUMENT,
              "%.17g classes for %ld values: at most %ld (the larger of %ld and the number of "
              "values)",
              static_cast<double>(k), static_cast<long>(n),
              static_cast<long>(mensora_class_limit(n)), static_cast<long>(kClassLimit));
}

}  // namespace capi
}  // namespace mensora

extern "C" {

const char* mensora_last_reason(void) { return reasonText; }

int32_t mensora_class_limit(int32_t n) {
  // k + 1 breaks stay countable in 32 bits.
  if (n >= INT32_MAX) return INT32_MAX - 1;
  return n > mensora::capi::kClassLimit ? n : mensora::capi::kClassLimit;
}

}  // extern "C"

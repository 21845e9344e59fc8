// Sets or clears MENSORA_THREADS, the most threads natural breaks may use.
#ifndef MENSORA_TESTS_SUPPORT_THREAD_SETTING_H
#define MENSORA_TESTS_SUPPORT_THREAD_SETTING_H

#include <cstdlib>

inline void SetMensoraThreads(const char* value) {
#ifdef _WIN32
  _putenv_s("MENSORA_THREADS", value == nullptr ? "" : value);
#else
  if (value == nullptr) {
    unsetenv("MENSORA_THREADS");
  } else {
    setenv("MENSORA_THREADS", value, 1);
  }
#endif
}

#endif  // MENSORA_TESTS_SUPPORT_THREAD_SETTING_H

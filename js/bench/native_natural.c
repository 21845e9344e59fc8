/* The native side of the natural-breaks benchmark: times the C interface's
 * natural breaks over the doubles of a binary file.
 *   native_natural FILE K   prints the milliseconds of one warm run (sample,
 *                           classes, release), then the k + 1 breaks */
#define _POSIX_C_SOURCE 199309L

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "mensora_c.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: native_natural FILE K\n");
    return 2;
  }
  FILE* file = fopen(argv[1], "rb");
  if (file == NULL || fseek(file, 0, SEEK_END) != 0) return 3;
  const long bytes = ftell(file);
  rewind(file);
  const int32_t n = (int32_t)(bytes / (long)sizeof(double));
  double* values = malloc((size_t)n * sizeof(double));
  if (values == NULL || fread(values, sizeof(double), (size_t)n, file) != (size_t)n) return 3;
  fclose(file);

  const int32_t k = atoi(argv[2]);
  double* breaks = malloc(((size_t)k + 1) * sizeof(double));
  if (k < 1 || breaks == NULL) return 2;
  /* The second run is timed: the first has warmed the allocator and the
   * caches, as earlier calls have for the WebAssembly module. */
  struct timespec start, end;
  int status = MENSORA_OK;
  for (int run = 0; run < 2 && status == MENSORA_OK; ++run) {
    clock_gettime(CLOCK_MONOTONIC, &start);
    mensora_sample* sample = mensora_sample_new(values, n);
    mensora_classes classes;
    status = mensora_classify_natural(sample, k, &classes);
    if (status == MENSORA_OK) {
      for (int32_t s = 0; s <= k; ++s) breaks[s] = classes.breaks[s];
    }
    mensora_sample_free(sample);
    clock_gettime(CLOCK_MONOTONIC, &end);
  }
  if (status != MENSORA_OK) return 4;
  printf("%.3f\n", (double)(end.tv_sec - start.tv_sec) * 1e3 + (double)(end.tv_nsec - start.tv_nsec) / 1e6);
  for (int32_t s = 0; s <= k; ++s) printf("%.17g\n", breaks[s]);
  free(breaks);
  free(values);
  return 0;
}

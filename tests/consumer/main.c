/* Uses the installed library through its C header only; exits non-zero when
 * a result is not the expected one. */
#include <stdio.h>
#include <string.h>

#include "mensora_c.h"

int main(void) {
  double values[] = {2, 4, 4, 4, 5, 5, 7, 9};
  mensora_classes classes;
  mensora_sample* sample = mensora_sample_new(values, 8);
  int status;
  double mean;
  if (sample == NULL) return 1;
  mean = mensora_mean(sample);
  status = mensora_classify_natural(sample, 3, &classes);
  printf("C: version %s mean %g natural classes %d, status %s\n", mensora_version(), mean,
         (int)classes.class_count, mensora_status_message(status));
  mensora_sample_free(sample);
  return status == MENSORA_OK && mean == 5.0 && classes.class_count == 3 &&
                 strcmp(mensora_version(), "2.0.0") == 0
             ? 0
             : 1;
}

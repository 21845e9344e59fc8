# Speed of classify() against the bare library call and against classInt.
#   R_LIBS=build/r-lib Rscript r/bench/bench.R
# Prints the median of several runs of each and the two ratios.
library(mensora)
has_classint <- requireNamespace("classInt", quietly = TRUE)

# Medians of runs that take turns, so that a busy machine slows both alike.
median_times <- function(f, g, runs) {
  t <- vapply(seq_len(runs), function(i) {
    c(system.time(f())[["elapsed"]], system.time(g())[["elapsed"]])
  }, c(0, 0))
  apply(t, 1, median)
}

set.seed(1)
x <- rlnorm(1e6, 10, 1)
t <- median_times(function() classify(x, 7, "fisher"),
                  function() .Call(mensora:::mensora_r_natural_only, x, 7L), 7)
full <- t[1]
bare <- t[2]
cat(sprintf("10^6 values, 7 classes: classify %.3f s, the C call %.3f s, ratio %.2f (goal <= 1.2)\n",
            full, bare, full / bare))

y <- x[1:1e4]
if (has_classint) {
  t <- median_times(function() classInt::classIntervals(y, 7, style = "fisher", largeN = Inf),
                    function() for (i in 1:20) classify(y, 7, "fisher"), 3)
  theirs <- t[1]
  ours <- t[2] / 20
  cat(sprintf("10^4 values, 7 classes: classInt fisher %.3f s, classify %.4f s: %.0f times faster (goal >= 20)\n",
              theirs, ours, theirs / ours))
} else {
  cat("classInt is not installed: no comparison at 10^4 values\n")
}

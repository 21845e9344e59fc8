# Every style against the tool's classes of the same values, bit for bit:
# breaks, counts, the class of every value and the fit.

k_list <- function(k) paste(exact_text(100 * (0:k) / k), collapse = ",")

styles <- list(
  list("fisher", 4, list(), c("--method", "natural", "--classes", "4")),
  list("jenks", 7, list(), c("--method", "natural", "--classes", "7")),
  list("fisher", "auto", list(gvf = 0.9, max_n = 8),
       c("--method", "natural", "--classes", "auto", "--gvf", "0.9", "--max-classes", "8")),
  list("quantile", 5, list(), c("--method", "percentile", "--percentiles", k_list(5))),
  list("quantile", 3, list(), c("--method", "percentile", "--percentiles", k_list(3))),
  list("equal", 6, list(), c("--method", "equal", "--classes", "6")),
  list("sd", 5, list(), c("--method", "stddev", "--steps", "2", "--times", "1")),
  list("sd", 4, list(steps = 3, times = 0.5), c("--method", "stddev", "--steps", "3", "--times", "0.5")),
  list("pretty", 5, list(), c("--method", "pretty", "--classes", "5")),
  list("headtails", 5, list(), c("--method", "headtail", "--head-share", "0.4")),
  list("headtails", 5, list(thr = 0.3), c("--method", "headtail", "--head-share", "0.3")),
  list("box", 5, list(), c("--method", "box", "--hinge", "1.5")),
  list("box", 5, list(iqr_mult = 3), c("--method", "box", "--hinge", "3")),
  list("maximum", 5, list(), c("--method", "maxbreaks", "--classes", "5")),
  list("fixed", 5, list(fixedBreaks = c(2, 5, 10, 20)), c("--method", "breaks", "--breaks", "2,5,10,20")),
  list("percentile", 5, list(), c("--method", "percentile", "--percentiles", "0,1,10,50,90,99,100")),
  list("percentile", 5, list(percents = c(5, 50, 95)), c("--method", "percentile", "--percentiles", "5,50,95")),
  list("geometric", 5, list(), c("--method", "geometric", "--classes", "5")))

samples <- list(
  income = unname(datasets::state.x77[, "Income"]),
  area = unname(datasets::state.x77[, "Area"]),
  wind = datasets::airquality$Wind,
  skewed = random_sample(1, 2000),
  integers = as.integer(random_sample(2, 300)),
  infinite = c(random_sample(3, 40), Inf),
  both_infinities = c(-Inf, random_sample(3, 40), Inf))

test_that("every style gives the tool's classes, breaks and fit, or its refusal", {
  tool_path()
  for (name in names(samples)) {
    x <- samples[[name]]
    for (case in styles) {
      label <- paste(name, case[[1]], case[[2]])
      call <- c(list(x, case[[2]], case[[1]]), case[[3]])
      want <- tool_classes(as.double(x), case[[4]])
      if (!is.null(want$refused)) {
        expect_error(do.call(classify, call), want$refused, fixed = TRUE, class = "mensora_error")
        next
      }
      got <- suppressWarnings(do.call(classify, call))  # notes: the classes tell them
      expect_same_bits(got$brks, want$brks, label)
      expect_identical(got$counts, want$counts, label = label)
      expect_identical(got$classes, want$classes, label = label)
      expect_same_bits(got$fit, want$fit, label)
      expect_identical(attr(got, "style"), case[[1]])
      expect_identical(got$var, x)
    }
  }
})

test_that("a style the data do not allow is an R error with the library's reason", {
  err <- expect_error(classify(c(1, 2, Inf), 3, "geometric"), class = "mensora_error")
  expect_match(conditionMessage(err), "^geometric: ")
  expect_identical(err$status, -4L)
  expect_error(classify(c(-1, 2, 3), 3, "geometric"), class = "mensora_error")
  expect_error(classify(c(1, 2, 3), 3, "fixed", fixedBreaks = c(3, 1)), class = "mensora_error")
})

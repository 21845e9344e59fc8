test_that("NA and NaN are missing: left out with a warning, in no class", {
  x <- c(5, NA, 1, 7, NaN, 3, 2, 9, 4)
  kept <- x[!is.na(x)]
  copy <- x + 0
  expect_warning(r <- classify(x, 3), "2 missing values")
  expect_identical(x, copy)
  expect_identical(r$var, x)
  expect_identical(r$classes[!is.na(x)], classify(kept, 3)$classes)
  expect_true(all(is.na(r$classes[is.na(x)])))
  expect_identical(r$brks, classify(kept, 3)$brks)
  expect_identical(attr(r, "nobs"), 7L)
  expect_warning(expect_identical(mensora::describe(x), mensora::describe(kept)), "missing")
  expect_warning(expect_identical(natural_breaks(x, 2), natural_breaks(kept, 2)), "missing")
  expect_warning(expect_error(classify(c(NA, NaN), 2), class = "mensora_error"), "missing")
})

test_that("empty input and bad arguments are refused with clear errors", {
  expect_error(classify(numeric(0)), class = "mensora_error")
  expect_error(classify(letters), "numeric vector .* not character")
  expect_error(classify(factor(1:3)), "not a factor")
  expect_error(classify(c(TRUE, FALSE)), "not logical")
  expect_error(classify(list(1, 2)), "not list")
  expect_error(classify(1:10, 0), class = "mensora_error")
  expect_error(classify(1:10, 2.5), "whole number")
  expect_error(classify(1:10, NA), "whole number")
  expect_error(classify(1:10, 2^31), "whole number")
  expect_error(classify(1:10, 2^30), "^fisher: 1073741824 classes for 10 values: at most",
               class = "mensora_error")
  expect_error(natural_breaks(1:10, 2^30, weights = rep(1, 10)), "at most", class = "mensora_error")
  expect_error(classify(1:10, 2^30, "quantile"), "at most", class = "mensora_error")
  expect_error(classify(1:10, 3, "kmeans"), "should be one of")
  expect_error(classify(1:10, 3, "fixed"), "fixedBreaks")
  expect_error(classify(1:10, 3, breaks = 2), "unused argument: breaks")
  expect_error(classify(1:10, 3, "equal", intervalClosure = "right"), "left")
  expect_error(classify(1:10, "auto", "equal"), "natural breaks")
  expect_error(classify(1:10, 3, "headtails", thr = 1.5), class = "mensora_error")
  expect_error(natural_breaks(1:10, 3, weights = 1:3), "one number per value")
  expect_error(natural_breaks(1:10, 3, weights = c(-1, 2:10)), class = "mensora_error")
  expect_error(quantile_breaks(1:10, 3, weights = rep(0, 10)), class = "mensora_error")
})

test_that("classInt's own arguments are accepted", {
  r <- classify(1:20, 4, "fisher", largeN = Inf, warnLargeN = FALSE, dataPrecision = 1)
  expect_identical(attr(r, "dataPrecision"), 1)
  expect_identical(attr(r, "intervalClosure"), "left")
  expect_identical(attr(r, "call")[[1]], as.name("classify"))
})

test_that("whole-number weights give the breaks of the repeated values", {
  x <- random_sample(5, 300)
  w <- rep_len(c(1, 3, 2, 5), length(x))
  for (k in c(2, 5)) {
    expect_identical(natural_breaks(x, k, w), natural_breaks(rep(x, w), k))
    expect_identical(quantile_breaks(x, k, w), quantile_breaks(rep(x, w), k))
  }
})

test_that("describe() and the breaks functions give the tool's numbers", {
  tool_path()
  for (x in list(c(3, 1, 4, 1, 5, 9, 2, 6), random_sample(6, 1000), c(-2, 0, 5, Inf))) {
    expect_same_bits(mensora::describe(x), tool_summary(x), "describe")
    expect_identical(names(mensora::describe(x)), names(tool_summary(x)))
  }
  x <- random_sample(7, 800)
  expect_same_bits(natural_breaks(x, 6), tool_classes(x, "--method", "natural", "--classes", "6")$brks)
  expect_same_bits(quantile_breaks(x, 6), tool_classes(x, "--method", "quantile", "--classes", "6")$brks)
})

test_that("quantile classes have the breaks of R's quantile(type = 7)", {
  # Equal up to rounding: the library takes the fraction as (100 s / k) / 100.
  for (x in list(random_sample(8, 101), datasets::airquality$Ozone[1:40])) {
    for (k in c(3, 4, 7)) {
      r <- suppressWarnings(classify(x, k, "quantile"))
      expect_equal(r$brks, unname(quantile(x, seq(0, 1, 1 / k), na.rm = TRUE)), tolerance = 1e-12)
    }
  }
})

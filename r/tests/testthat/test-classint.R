# classInt's functions read the object as one of their own.

test_that("findCols, findColours, print and plot take the object", {
  skip_if_not_installed("classInt")
  x <- c(unname(datasets::state.x77[, "Income"]), NA)
  for (style in c("fisher", "jenks", "quantile", "equal", "sd", "pretty", "headtails", "box",
                  "maximum", "percentile", "geometric")) {
    r <- suppressWarnings(classify(x, 5, style))
    inside <- !is.na(r$classes)
    expect_identical(classInt::findCols(r)[inside], r$classes[inside], label = style)
    colours <- classInt::findColours(r, c("white", "red"))
    expect_length(colours, length(x))
    expect_identical(as.vector(attr(colours, "table")), r$counts, label = style)
    expect_output(print(r), paste0("style: ", style))
  }
  grDevices::pdf(NULL)
  on.exit(grDevices::dev.off())
  expect_silent(plot(r, c("white", "red")))
})

test_that("the natural breaks classes are classInt's exact fisher classes", {
  skip_if_not_installed("classInt")
  for (x in list(unname(datasets::state.x77[, "Income"]), random_sample(4, 500))) {
    for (k in c(3, 6)) {
      theirs <- classInt::classIntervals(x, k, "fisher", largeN = Inf)
      expect_identical(classInt::findCols(theirs), classify(x, k, "fisher")$classes)
    }
  }
})

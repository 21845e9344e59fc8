library(testthat)
library(mensora)

test_check("mensora")

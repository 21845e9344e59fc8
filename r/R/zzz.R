# The object's print() and plot() methods are classInt's: its namespace is
# loaded (not attached) when it is installed, so that R finds them for the
# objects of classify() as it does for classInt's own.
.onLoad <- function(libname, pkgname) {
  requireNamespace("classInt", quietly = TRUE)
  invisible()
}

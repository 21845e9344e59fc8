# A choropleth of the North Carolina counties bundled with sf: live births
# 1974-78 (BIR74) in five natural-breaks classes, drawn into a PNG.
#   Rscript nc-map.R [nc-births.png]
library(sf)
library(mensora)

out <- commandArgs(trailingOnly = TRUE)[1]
if (is.na(out)) out <- "nc-births.png"
nc <- st_read(system.file("shape/nc.shp", package = "sf"), quiet = TRUE)
r <- classify(nc$BIR74, 5, "fisher")
colours <- hcl.colors(5, "Reds", rev = TRUE)
low <- format(r$brks[-6], big.mark = ",", trim = TRUE)
high <- format(r$brks[-1], big.mark = ",", trim = TRUE)
labels <- sprintf("[%s, %s%s  %d", low, high, c(rep(")", 4), "]"), r$counts)

png(out, width = 1000, height = 460, res = 110)
par(mar = c(0, 0, 2, 0))
plot(st_geometry(nc), col = colours[r$classes], border = "grey40",
     main = sprintf("Births 1974-78, natural breaks (GVF %.3f)", r$fit[["gvf"]]))
legend("bottomleft", legend = labels, fill = colours, bty = "n", cex = 0.85,
       title = "births: counties")
invisible(dev.off())
cat("wrote", out, "\n")

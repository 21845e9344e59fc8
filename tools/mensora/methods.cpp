#include "methods.h"

namespace mensora_tool {

const std::vector<Method>& Methods() {
  static const std::vector<Method> methods = {
      {"equal", "DataSecByMaxMin", kClasses, 0, LastClass::kClosing, false, false, nullptr,
       "K classes of equal width between the minimum and the maximum", nullptr,
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_equal(s, p.classes, o);
       }},
      {"step", "DataStatByStartAndStep", kStart | kStep, kEnd, LastClass::kClosing, false, false,
       nullptr,
       "classes of width W from A up to B (default: the maximum)",
       "their number is (B - A) / W truncated: a remainder above the last\n"
       "full class is in no class",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_step(s, p.start, p.step, p.end, o);
       }},
      {"count", "DataStatByStartAndGroupNum", kStart | kClasses, kEnd, LastClass::kClosing, false,
       false, nullptr,
       "K classes of equal width from A up to B (default: the maximum)", nullptr,
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_count(s, p.start, p.classes, p.end, o);
       }},
      {"stddev", "DataSecByAverStd", kSteps | kTimes, 0, LastClass::kOpen, true, false, nullptr,
       "2L+2 classes around the mean, each T standard deviations wide",
       "breaks at the mean and at the mean +- s T standard deviations for\n"
       "s = 1..L, and two open outer classes bounded by +-1.79769313486232e307",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_stddev(s, p.steps, p.times, o);
       }},
      {"stddev-window", "DataSecByAverStdAndMinMax", kSteps | kTimes, kMin | kMax,
       LastClass::kOpen, true, true, nullptr,
       "the stddev classes, members limited to [A, B]",
       "A and B default to the data minimum and maximum",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_stddev_window(s, p.steps, p.times, p.min, p.max, o);
       }},
      {"quantile", "DataSecByQuantile", kClasses, 0, LastClass::kClosed, false, false, nullptr,
       "K classes of about equal counts",
       "break s is the sorted value at position s m / K (m values, NaN left\n"
       "out); equal values stay in one class, so a class may hold more or\n"
       "fewer, and a repeated break leaves an empty class",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_quantile(s, p.classes, o);
       }},
      {"natural", "DataSecByNaturalBreaks", kClasses, kGvf | kMaxClasses, LastClass::kClosed, false,
       false, "DataSecByNaturalBreaksAuto",
       "natural breaks: K classes of least squared deviation from their means",
       "the exact optimum, the same for any order of the values; each break is\n"
       "the smallest value of its class; with fewer distinct values than K each\n"
       "value is a class and the empty classes come just before the last;\n"
       "--classes auto takes the fewest classes from 2 to --max-classes N\n"
       "(default 10) whose GVF is at least --gvf G (default 0.8), or N",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         if (p.autoClasses) return mensora_classify_natural_auto(s, p.maxClasses, p.gvf, o);
         return mensora_classify_natural(s, p.classes, o);
       }},
      {"breaks", "DataSecByBreaks", kBreaks, 0, LastClass::kClosed, false, false, nullptr,
       "classes between the breaks of LIST (two or more, ascending)",
       "values below the first break or above the last are in no class",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_breaks(s, p.breaks.data(),
                                        static_cast<std::int32_t>(p.breaks.size()), o);
       }},
      {"pretty", "DataSecByPretty", kClasses, 0, LastClass::kClosed, false, false, nullptr,
       "about K classes between round numbers (1, 2 or 5 times a power of ten)",
       "the breaks of R's pretty(x, n = K) over the finite values; infinite\n"
       "values are in no class",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_pretty(s, p.classes, o);
       }},
      {"headtail", "DataSecByHeadTail", 0, kHeadShare, LastClass::kClosed, false, false, nullptr,
       "head/tail breaks for heavy tails: split at the mean again and again",
       "each split keeps the values above the mean (the head) and goes\n"
       "on while the head holds fewer than S of the values split (default 0.4)",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_head_tail(s, p.headShare, o);
       }},
      {"box", "DataSecByBoxPlot", 0, kHinge, LastClass::kClosed, false, false, nullptr,
       "six box-plot classes: the breaks q1 - H iqr, q1, median, q3, q3 + H iqr",
       "the outer classes hold the outliers; H defaults to 1.5; quartiles\n"
       "interpolate between order statistics (R's quantile type 7)",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_box_plot(s, p.hinge, o);
       }},
      {"maxbreaks", "DataSecByMaxBreaks", kClasses, 0, LastClass::kClosed, false, false, nullptr,
       "K classes split in the middle of the K - 1 widest gaps between values", nullptr,
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_max_breaks(s, p.classes, o);
       }},
      {"percentile", "DataSecByPercentile", kPercentiles, 0, LastClass::kClosed, false, false,
       nullptr, "classes between the percentiles of LIST (0 to 100, ascending)",
       "interpolated between order statistics (R's quantile type 7); values\n"
       "below the first or above the last percentile are in no class",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_percentile(s, p.percentiles.data(),
                                            static_cast<std::int32_t>(p.percentiles.size()), o);
       }},
      {"geometric", "DataSecByGeometric", kClasses, 0, LastClass::kClosed, false, false, nullptr,
       "K classes whose breaks grow by one ratio from the minimum to the maximum",
       "the minimum must be above 0 and the maximum finite",
       [](mensora_sample* s, const ClassParams& p, mensora_classes* o) {
         return mensora_classify_geometric(s, p.classes, o);
       }},
  };
  return methods;
}

const Method* FindMethod(const std::string& name) {
  for (const Method& method : Methods()) {
    if (name == method.name) return &method;
  }
  return nullptr;
}

const char* ParamOption(Param param) {
  switch (param) {
    case kClasses: return "--classes";
    case kStart: return "--start";
    case kStep: return "--step";
    case kEnd: return "--end";
    case kSteps: return "--steps";
    case kTimes: return "--times";
    case kMin: return "--min";
    case kMax: return "--max";
    case kBreaks: return "--breaks";
    case kPercentiles: return "--percentiles";
    case kHeadShare: return "--head-share";
    case kHinge: return "--hinge";
    case kGvf: return "--gvf";
    case kMaxClasses: return "--max-classes";
  }
  return "";
}

std::string ParamSynopsis(Param param) {
  const char* value = "";
  switch (param) {
    case kClasses: value = " K"; break;
    case kStart: value = " A"; break;
    case kStep: value = " W"; break;
    case kEnd: value = " B"; break;
    case kSteps: value = " L"; break;
    case kTimes: value = " T"; break;
    case kMin: value = " A"; break;
    case kMax: value = " B"; break;
    case kBreaks: value = " LIST"; break;
    case kPercentiles: value = " LIST"; break;
    case kHeadShare: value = " S"; break;
    case kHinge: value = " H"; break;
    case kGvf: value = " G"; break;
    case kMaxClasses: value = " N"; break;
  }
  return ParamOption(param) + std::string(value);
}

}  // namespace mensora_tool

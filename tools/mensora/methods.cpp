#include "methods.h"

namespace mensora_tool {

const std::vector<Method>& Methods() {
  static const std::vector<Method> methods = {
      {"equal", "DataSecByMaxMin", kClasses, 0, true, false,
       "K classes of equal width between the minimum and the maximum", nullptr,
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByMaxMin(p.classes, &o.breaks, &o.breakNum, &o.ids, &o.counts);
       }},
      {"step", "DataStatByStartAndStep", kStart | kStep, kEnd, true, false,
       "classes of width W from A up to B (default: the maximum)",
       "their number is (B - A) / W truncated: a remainder above the last\n"
       "full class is in no class",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataStatByStartAndStep(p.start, p.step, &o.breaks, &o.breakNum, &o.ids,
                                         &o.counts, p.end);
       }},
      {"count", "DataStatByStartAndGroupNum", kStart | kClasses, kEnd, true, false,
       "K classes of equal width from A up to B (default: the maximum)", nullptr,
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataStatByStartAndGroupNum(p.start, p.classes, &o.breaks, &o.breakNum, &o.ids,
                                             &o.counts, p.end);
       }},
      {"stddev", "DataSecByAverStd", kSteps | kTimes, 0, false, false,
       "2L+2 classes around the mean, each T standard deviations wide",
       "breaks at the mean and at the mean +- s T standard deviations for\n"
       "s = 1..L, and two open outer classes bounded by +-1.79769313486232e307",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByAverStd(p.steps, p.times, &o.breaks, &o.breakNum, &o.ids, &o.counts);
       }},
      {"stddev-window", "DataSecByAverStdAndMinMax", kSteps | kTimes, kMin | kMax, false, true,
       "the stddev classes, members limited to [A, B]",
       "A and B default to the data minimum and maximum",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByAverStdAndMinMax(p.steps, p.times, &o.breaks, &o.breakNum, &o.ids,
                                            &o.counts, p.min, p.max);
       }},
      {"quantile", "DataSecByQuantile", kClasses, 0, true, false,
       "K classes of about equal counts",
       "break s is the sorted value at position s m / K (m values, NaN left\n"
       "out); equal values stay in one class, so a class may hold more or\n"
       "fewer, and a repeated break leaves an empty class",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByQuantile(p.classes, &o.breaks, &o.breakNum, &o.ids, &o.counts);
       }},
      {"natural", "DataSecByNaturalBreaks", kClasses, 0, true, false,
       "natural breaks: K classes of least squared deviation from their means",
       "the exact optimum, the same for any order of the values; each break is\n"
       "the smallest value of its class; with fewer distinct values than K each\n"
       "value is a class and the empty classes come just before the last",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByNaturalBreaks(p.classes, &o.breaks, &o.breakNum, &o.ids, &o.counts);
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
  }
  return ParamOption(param) + std::string(value);
}

}  // namespace mensora_tool

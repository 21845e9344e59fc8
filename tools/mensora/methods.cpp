#include "methods.h"

namespace mensora_tool {

const std::vector<Method>& Methods() {
  static const std::vector<Method> methods = {
      {"equal", "DataSecByMaxMin", kClasses, 0, true, false,
       "K classes of equal width between the minimum and the maximum",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByMaxMin(p.classes, &o.breaks, &o.breakNum, &o.ids, &o.counts);
       }},
      {"step", "DataStatByStartAndStep", kStart | kStep, kEnd, true, false,
       "classes of width W from A up to B (default: the maximum)",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataStatByStartAndStep(p.start, p.step, &o.breaks, &o.breakNum, &o.ids,
                                         &o.counts, p.end);
       }},
      {"count", "DataStatByStartAndGroupNum", kStart | kClasses, kEnd, true, false,
       "K classes of equal width from A up to B (default: the maximum)",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataStatByStartAndGroupNum(p.start, p.classes, &o.breaks, &o.breakNum, &o.ids,
                                             &o.counts, p.end);
       }},
      {"stddev", "DataSecByAverStd", kSteps | kTimes, 0, false, false,
       "2L+2 classes around the mean, each T standard deviations wide",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByAverStd(p.steps, p.times, &o.breaks, &o.breakNum, &o.ids, &o.counts);
       }},
      {"stddev-window", "DataSecByAverStdAndMinMax", kSteps | kTimes, kMin | kMax, false, true,
       "the stddev classes, members limited to [A, B] (default: the extremes)",
       [](CMensora& m, const ClassParams& p, LibraryClasses& o) {
         return m.DataSecByAverStdAndMinMax(p.steps, p.times, &o.breaks, &o.breakNum, &o.ids,
                                            &o.counts, p.min, p.max);
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

}  // namespace mensora_tool

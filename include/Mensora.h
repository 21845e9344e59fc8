// Mensora: descriptive statistics and class breaks over one numeric sample.
//
// A host constructs a CMensora over its own array of doubles (the object borrows
// the array and never writes or releases it) and asks for measures and class
// breaks. Array results stay owned by the object; the host receives pointers into
// the object's buffers, valid until the next call that rebuilds the same buffer
// or until the object is destroyed. One object is used by one thread at a time.
#ifndef MENSORA_H
#define MENSORA_H

#include <cstdint>

#if defined(_WIN32) || defined(__CYGWIN__)
#  if defined(MENSORA_STATIC)
#    define MENSORA_API
#  elif defined(MENSORA_BUILDING_LIBRARY)
#    define MENSORA_API __declspec(dllexport)
#  else
#    define MENSORA_API __declspec(dllimport)
#  endif
#else
#  define MENSORA_API __attribute__((visibility("default")))
#endif

#define MENSORA_VERSION_MAJOR 2
#define MENSORA_VERSION_MINOR 0
#define MENSORA_VERSION_PATCH 0

// One sample value and its zero-based position in the host's array. Packed:
// arrays of records cross the interface with 12 bytes per record.
#pragma pack(push, 1)
struct ORDER_DATA {
  double dValue;
  std::int32_t lID;
};
#pragma pack(pop)

static_assert(sizeof(ORDER_DATA) == 12, "ORDER_DATA must be packed to 12 bytes");

// Upper limit taken from the data maximum (range classes, value windows).
constexpr double AUTO_MAX = 999.0;
// Lower limit taken from the data minimum (value windows).
constexpr double AUTO_MIN = -999.0;
// An absolute difference below this counts as equality in the closing rule of
// the range classes and in the tests for AUTO_MAX / AUTO_MIN.
constexpr double EQ_TOLERANCE = 1e-7;
// Overflow guard of the geometric mean; outer breaks of the standard-deviation
// classes.
constexpr double HUGE_BOUND = 1.79769313486232e307;

class MENSORA_API CMensora {
 public:
  CMensora(double* pData, std::int32_t lDataNum);
  ~CMensora();
  CMensora& operator=(const CMensora& other);
  CMensora(const CMensora&) = delete;

  // Means and mode.
  double SimpleArithAverNum();
  double PowerArithAverNum(std::int32_t bNumerousOnly);
  double GeometryAverNum();
  // Order statistics.
  double MedianNum();
  double NumerousNum();
  void SubSectionNum(double** ppSubSection, std::int32_t lStep, std::int32_t* pSubSectionNum);
  void ExtremumNum(double* pMax, double* pMin);
  double ExtreDifNum();
  // Deviation and shape measures.
  void DisDifNum(double* pDisDif);
  double DisDifAverNum();
  double DisDifSqrSum();
  double SqrDifNum();
  double SqraverDifNum();
  double StandDifNum();
  double AlterDifCoe();
  double DeflectDegree();
  double ApexDegree();
  // Value-window selection and class breaks. Status 1 on success, -1 on failure.
  std::int32_t DataStatByArea(double dMinValue, double dMaxValue, std::int32_t** ppAreaID,
                              std::int32_t* pAreaIDNum);
  std::int32_t DataSecByMaxMin(std::int32_t lSecNum, double** ppSecBreak, std::int32_t* pBreakNum,
                               std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  std::int32_t DataStatByStartAndStep(double dStart, double dStep, double** ppSecBreak,
                                      std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                      std::int32_t** ppSecIDNum, double dEnd);
  std::int32_t DataStatByStartAndGroupNum(double dStart, std::int32_t lGroupNum,
                                          double** ppSecBreak, std::int32_t* pBreakNum,
                                          std::int32_t** ppSecID, std::int32_t** ppSecIDNum,
                                          double dEnd);
  std::int32_t DataSecByAverStd(std::int32_t lStdNum, double dStdTimes, double** ppSecBreak,
                                std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                std::int32_t** ppSecIDNum);
  std::int32_t DataSecByAverStdAndMinMax(std::int32_t lStdNum, double dStdTimes,
                                         double** ppSecBreak, std::int32_t* pBreakNum,
                                         std::int32_t** ppSecID, std::int32_t** ppSecIDNum,
                                         double dMin, double dMax);
  // Equal-count and natural-breaks classes over the values that are not NaN,
  // in the range-class buffers, closed like DataSecByMaxMin. Natural breaks
  // over many distinct values share the work among up to four threads (the
  // environment variable MENSORA_THREADS=1 keeps it on the calling thread);
  // the classes are the same either way.
  std::int32_t DataSecByQuantile(std::int32_t lSecNum, double** ppSecBreak, std::int32_t* pBreakNum,
                                 std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  std::int32_t DataSecByNaturalBreaks(std::int32_t lSecNum, double** ppSecBreak,
                                      std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                      std::int32_t** ppSecIDNum);
  // More range classes over the values that are not NaN, each with its last
  // class closed (it also takes the values equal to its upper break); the
  // number of classes is the break count less one. The caller's lBreakNum
  // breaks (finite, non-decreasing), values outside them in no class.
  std::int32_t DataSecByBreaks(const double* pBreak, std::int32_t lBreakNum, double** ppSecBreak,
                               std::int32_t* pBreakNum, std::int32_t** ppSecID,
                               std::int32_t** ppSecIDNum);
  // Round-number breaks (1, 2 or 5 times a power of ten) over the finite
  // values, about lSecNum classes; infinite values are in no class.
  std::int32_t DataSecByPretty(std::int32_t lSecNum, double** ppSecBreak, std::int32_t* pBreakNum,
                               std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  // Head/tail breaks: the minimum, the successive means of the heads while
  // a head holds less than dHeadShare (0 < share < 1) of its set, the maximum.
  std::int32_t DataSecByHeadTail(double dHeadShare, double** ppSecBreak, std::int32_t* pBreakNum,
                                 std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  // Six box-plot classes: -inf, q1 - h iqr, q1, median, q3, q3 + h iqr, +inf
  // for the hinge h = dHinge >= 0.
  std::int32_t DataSecByBoxPlot(double dHinge, double** ppSecBreak, std::int32_t* pBreakNum,
                                std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  // Breaks in the middle of the lSecNum - 1 widest gaps between distinct values.
  std::int32_t DataSecByMaxBreaks(std::int32_t lSecNum, double** ppSecBreak,
                                  std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                  std::int32_t** ppSecIDNum);
  // Breaks at the caller's lNum percentiles (0..100, non-decreasing).
  std::int32_t DataSecByPercentile(const double* pPercent, std::int32_t lNum, double** ppSecBreak,
                                   std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                   std::int32_t** ppSecIDNum);
  // Breaks min * r^i, r = (max / min)^(1 / lSecNum), for a positive minimum
  // and a finite maximum.
  std::int32_t DataSecByGeometric(std::int32_t lSecNum, double** ppSecBreak,
                                  std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                  std::int32_t** ppSecIDNum);
  // Natural breaks with the fewest classes, from 2 to lMaxSecNum, whose GVF
  // (as DataSecFitNum measures it) is at least dMinGVF (0..1); lMaxSecNum
  // classes where none reaches it. The class count is the break count less one.
  std::int32_t DataSecByNaturalBreaksAuto(std::int32_t lMaxSecNum, double dMinGVF,
                                          double** ppSecBreak, std::int32_t* pBreakNum,
                                          std::int32_t** ppSecID, std::int32_t** ppSecIDNum);
  // Goodness of fit of the current class result, of the standard-deviation
  // classes when bStdSec is not 0, else of the range classes: the squared
  // deviations from the mean of all members (SDAM) and from the class means
  // (SDCM), GVF = 1 - SDCM / SDAM, the absolute deviations from the class
  // medians (ADCM) and the tabular accuracy index. -1 without a current
  // result or memory, with nothing written.
  std::int32_t DataSecFitNum(std::int32_t bStdSec, double* pSDAM, double* pSDCM, double* pGVF,
                             double* pADCM, double* pTAI);
  // Round breaks for the current class result (of the standard-deviation
  // classes when bStdSec is not 0, else of the range classes): each break is
  // replaced by the number with the fewest significant decimal digits, the
  // nearest to it among those, that leaves the class of every value as it is,
  // "in no class" included; the breaks stay in order. A break with no value
  // beyond it (an outer break, or one next to empty classes) moves outward by
  // at most the width of a class beside it. Infinite breaks and the outer
  // breaks of the standard-deviation classes stay; so do breaks that descend
  // or are NaN, and every break of such a result. The counts and ids stay as
  // they are; the outputs are written as by the method of the result. -1
  // without a current result or memory, with nothing touched.
  std::int32_t DataSecRoundBreaks(std::int32_t bStdSec, double** ppSecBreak,
                                  std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                  std::int32_t** ppSecIDNum);
  // How the last class of the current result (of the standard-deviation
  // classes when bStdSec is not 0) ends: 0 before its upper break (open), 1
  // with it (closed), 2 by the closing rule of the equal-width range classes
  // (closed, and up to EQ_TOLERANCE above, unless the sample maximum lies
  // EQ_TOLERANCE or more from the break). -1 without a current result.
  std::int32_t DataSecLastClass(std::int32_t bStdSec) const;

 private:
  friend class MensoraTestAccess;

  std::int32_t FrequenceNum(double* pValue, std::int32_t* pFrequence);
  std::int32_t OrderData(std::int32_t lOrderType);
  void QuickSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight);
  void BubbleSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight);
  std::int32_t DataIDSeach(ORDER_DATA* const pOrderData, double dData, std::int32_t lNum);

  double* m_pData;
  std::int32_t m_lDataNum;
  ORDER_DATA* m_pOrderData;
  std::int32_t m_lOrderNum;
  double m_dAverNum;
  double m_dNumerousNum;
  double m_dMedianNum;
  double m_dDisDifAverNum;
  double m_dDisDifSqrSum;
  double m_dSqrDifNum;
  double m_dStandDifNum;
  double m_dAlterDifCoe;
  double m_dSqraverDifNum;
  double* m_pSubSection;
  std::int32_t* m_pAreaID;
  double* m_pSecBreak;
  double* m_pStdBreak;
  std::int32_t* m_pSecIDNum;
  std::int32_t* m_pSecID;
  std::int32_t* m_pStdIDNum;
  std::int32_t* m_pStdID;
  std::int32_t m_bAverDone;
  std::int32_t m_bOrdered;
  std::int32_t m_bNumerousDone;
  std::int32_t m_bDisDifDone;
  // The number of classes of the current range and standard-deviation class
  // results (0 while there is none).
  std::int32_t m_lSecNum;
  std::int32_t m_lStdNum;
  // How the last class of each current result closes (see DataSecLastClass).
  std::int32_t m_lSecLast;
  std::int32_t m_lStdLast;
};

#endif  // MENSORA_H

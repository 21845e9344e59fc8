// The literal algorithms of the sorted view, the occurrence counts and the
// collection of class members, and a literal model of the whole sample object.
// They are the oracle of the differential tests and the fuzzer: every member of
// CMensora must give the same results, out-parameters, arrays and state as the
// model does over the same array and the same call sequence.
#ifndef MENSORA_TESTS_REFERENCE_LITERAL_H
#define MENSORA_TESTS_REFERENCE_LITERAL_H

#include <array>
#include <cstdint>
#include <vector>

#include "Mensora.h"
#include "classify/internal/class_result.h"

namespace mensora_ref {

using mensora::internal::LastClass;
using mensora::internal::ValueWindow;

// Partition-exchange sort of records lLeft..lRight with the first record of
// each range as pivot; equal values end up right of the pivot.
void QuickSort(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight);
// Exchange sort: for each i, every later record that is not at least record i
// is exchanged with it.
void BubbleSort(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight);
// counts[i] = number of j whose value neither is below nor above values[i].
void CountOccurrences(const double* values, std::int32_t n, std::int32_t* counts);
// The k x n scan of the view, with the mended closing rule: appends the ids
// of the members of classes 0..k-1 (breaks[0..k]) to ids, class by class,
// each class in the order of the view, and stores each class's count in
// counts[s].
bool CollectMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks,
                    std::int32_t k, LastClass last, const ValueWindow* window,
                    std::int32_t* counts, std::vector<std::int32_t>& ids);

// The goodness of fit {sdam, sdcm, gvf, adcm, tai} of classes listed class by
// class (class s: the next counts[s] values, ascending), one pass per sum in
// the order of the values: all values about the middle one, their squared
// and absolute deviations from their mean; then class by class the values
// about the class median, their squared and absolute deviations from the
// class mean, and their absolute deviations from the median.
std::array<double, 5> ClassFitByPasses(const double* values, const std::int32_t* counts,
                                       std::int32_t k);

// The sample object with every member implemented by the literal algorithms,
// with the same decisions and mends as CMensora. Allocation failures are not
// modelled. Its state is public, under CMensora's field names.
class LiteralMensora {
 public:
  LiteralMensora(double* pData, std::int32_t lDataNum);
  ~LiteralMensora();
  LiteralMensora& operator=(const LiteralMensora& other);
  LiteralMensora(const LiteralMensora&) = delete;

  double SimpleArithAverNum();
  double PowerArithAverNum(std::int32_t bNumerousOnly);
  double GeometryAverNum();
  double MedianNum();
  double NumerousNum();
  void SubSectionNum(double** ppSubSection, std::int32_t lStep, std::int32_t* pSubSectionNum);
  void ExtremumNum(double* pMax, double* pMin);
  double ExtreDifNum();
  void DisDifNum(double* pDisDif);
  double DisDifAverNum();
  double DisDifSqrSum();
  double SqrDifNum();
  double SqraverDifNum();
  double StandDifNum();
  double AlterDifCoe();
  double DeflectDegree();
  double ApexDegree();
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

  std::int32_t FrequenceNum(double* pValue, std::int32_t* pFrequence);
  std::int32_t OrderData(std::int32_t lOrderType);
  void QuickSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight);
  void BubbleSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight);
  std::int32_t DataIDSeach(ORDER_DATA* const pOrderData, double dData, std::int32_t lNum);

  double* m_pData;
  std::int32_t m_lDataNum;
  ORDER_DATA* m_pOrderData = nullptr;
  std::int32_t m_lOrderNum = 0;
  double m_dAverNum = 0.0;
  double m_dNumerousNum = 0.0;
  double m_dMedianNum = 0.0;
  double m_dDisDifAverNum = 0.0;
  double m_dDisDifSqrSum = 0.0;
  double m_dSqrDifNum = 0.0;
  double m_dStandDifNum = 0.0;
  double m_dAlterDifCoe = 0.0;
  double m_dSqraverDifNum = 0.0;
  double* m_pSubSection = nullptr;
  std::int32_t* m_pAreaID = nullptr;
  double* m_pSecBreak = nullptr;
  double* m_pStdBreak = nullptr;
  std::int32_t* m_pSecIDNum = nullptr;
  std::int32_t* m_pSecID = nullptr;
  std::int32_t* m_pStdIDNum = nullptr;
  std::int32_t* m_pStdID = nullptr;
  std::int32_t m_bAverDone = 0;
  std::int32_t m_bOrdered = 0;
  std::int32_t m_bNumerousDone = 0;
  std::int32_t m_bDisDifDone = 0;

 private:
  void ReleaseAll();
  void FillDeviationCache();
  std::int32_t RangeClasses(std::int32_t k, double width, double start, double** ppSecBreak,
                            std::int32_t* pBreakNum, std::int32_t** ppSecID,
                            std::int32_t** ppSecIDNum);
  std::int32_t StdClasses(std::int32_t lStdNum, double dStdTimes, const ValueWindow* window,
                          double** ppSecBreak, std::int32_t* pBreakNum, std::int32_t** ppSecID,
                          std::int32_t** ppSecIDNum);
};

}  // namespace mensora_ref

#endif  // MENSORA_TESTS_REFERENCE_LITERAL_H

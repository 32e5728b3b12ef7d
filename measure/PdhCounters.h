// The performance counters that say how far Windows holds the processor back
// and how hot its thermal zones are, in one query with English paths, so that
// a localised Windows finds them too.
#pragma once
#include <vector>

#include "measure/ThermalEntries.h"
#include "measure/portable/ThermalMath.h"

class PdhCounters {
 public:
  PdhCounters() = default;
  ~PdhCounters() { Close(); }
  PdhCounters(const PdhCounters&) = delete;
  PdhCounters& operator=(const PdhCounters&) = delete;

  // Opens the query with each counter this system has and collects once, as
  // a counter of rates needs two collections. False, with nothing open, when
  // none answers.
  bool Open(const ThermalEntries& entries);
  // Adds to `reading` what answered. A counter whose reading fails is left out
  // from then on, the whole query when a collection fails.
  void Read(ThermalReading& reading);
  // Whether a counter of a limit or a temperature is still in the query.
  bool Answers() const;
  void Close();

 private:
  bool ReadTotal(PDH_HCOUNTER& counter, double* value);
  // Calls `take` with each instance's value; false when the call failed.
  template <typename Take>
  bool ReadInstances(PDH_HCOUNTER& counter, Take take);

  ThermalEntries entries_;
  PDH_HQUERY query_ = nullptr;
  PDH_HCOUNTER performanceLimit_ = nullptr;
  PDH_HCOUNTER zoneTemperature_ = nullptr;
  PDH_HCOUNTER passiveLimit_ = nullptr;
  std::vector<unsigned char> items_;  // kept from one reading to the next
};

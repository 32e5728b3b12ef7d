// What Windows itself reports of the limits it holds the processor to, the
// temperature of its thermal zones and the power source, for the Thermal
// monitor: opened at Start, read at every sample, closed at Stop.
#pragma once
#include <cstdint>
#include <vector>

#include "measure/PdhCounters.h"
#include "measure/SystemLibrary.h"
#include "measure/ThermalEntries.h"
#include "measure/portable/ThermalMath.h"

class ThermalSources {
 public:
  ThermalSources() = default;
  ~ThermalSources() { Close(); }
  ThermalSources(const ThermalSources&) = delete;
  ThermalSources& operator=(const ThermalSources&) = delete;

  // Looks up and opens every source this Windows has (call it on the NT
  // family only); the power information is read for the processors of
  // `affinityMask`. True when a source of a limit or a temperature answered.
  bool Open(uint32_t affinityMask);
  // What each source still open answers now. A source that fails is closed
  // and left out of every later reading.
  ThermalReading Read();
  void Close();

 private:
  bool ReadProcessorLimit(ThermalReading& reading);

  // Declared before what uses them: they are released last.
  OwnedModule pdhLibrary_;
  OwnedModule powerLibrary_;
  ThermalEntries entries_;
  PdhCounters counters_;
  uint32_t affinityMask_ = 1;
  std::vector<ProcessorPowerInformation> processors_;
  bool powerInformationAnswers_ = false;
  bool powerStatusAnswers_ = false;
};

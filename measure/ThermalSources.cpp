#include "measure/ThermalSources.h"

#include "measure/PlatformSeam.h"

namespace thermal_seam {
namespace {
EntriesHook g_entriesHook = nullptr;
}  // namespace
void SetEntriesHook(EntriesHook hook) { g_entriesHook = hook; }
EntriesHook EntriesHookNow() { return g_entriesHook; }
}  // namespace thermal_seam

namespace {
ThermalEntries LookUpEntries(const OwnedModule& pdh, const OwnedModule& power) {
  ThermalEntries entries;
  entries.openQuery = ExportOf<PdhOpenQueryFn>(pdh, "PdhOpenQueryA");
  entries.addEnglishCounter = ExportOf<PdhAddEnglishCounterFn>(pdh, "PdhAddEnglishCounterA");
  entries.collectQueryData = ExportOf<PdhCollectQueryDataFn>(pdh, "PdhCollectQueryData");
  entries.formattedValue =
      ExportOf<PdhGetFormattedCounterValueFn>(pdh, "PdhGetFormattedCounterValue");
  entries.formattedArray =
      ExportOf<PdhGetFormattedCounterArrayFn>(pdh, "PdhGetFormattedCounterArrayA");
  entries.closeQuery = ExportOf<PdhCloseQueryFn>(pdh, "PdhCloseQuery");
  entries.powerInformation = ExportOf<CallNtPowerInformationFn>(power, "CallNtPowerInformation");
  // Windows 95 has it already; looked up all the same, as the rest.
  entries.powerStatus = measure_seam::FunctionCast<GetSystemPowerStatusFn>(
      measure_seam::LookupExport("kernel32", "GetSystemPowerStatus"));
  return entries;
}
}  // namespace

bool ThermalSources::Open(uint32_t affinityMask) {
  Close();
  affinityMask_ = affinityMask;
  pdhLibrary_ = LoadSystemLibrary("pdh.dll");
  powerLibrary_ = LoadSystemLibrary("powrprof.dll");
  entries_ = LookUpEntries(pdhLibrary_, powerLibrary_);
  if (const auto hook = thermal_seam::EntriesHookNow()) hook(entries_);

  counters_.Open(entries_);
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  processors_.assign(system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1,
                     ProcessorPowerInformation{});
  powerInformationAnswers_ = entries_.powerInformation != nullptr;
  ThermalReading trial;
  powerInformationAnswers_ = powerInformationAnswers_ && ReadProcessorLimit(trial);
  SYSTEM_POWER_STATUS status{};
  powerStatusAnswers_ = entries_.powerStatus != nullptr && entries_.powerStatus(&status);
  return counters_.Answers() || powerInformationAnswers_;
}

void ThermalSources::Close() {
  counters_.Close();
  powerInformationAnswers_ = powerStatusAnswers_ = false;
  entries_ = ThermalEntries();
  pdhLibrary_.Reset();
  powerLibrary_.Reset();
}

// False when the call failed; a processor without a nominal clock only gives
// no figure.
bool ThermalSources::ReadProcessorLimit(ThermalReading& reading) {
  const ULONG bytes = static_cast<ULONG>(processors_.size()) *
                      static_cast<ULONG>(sizeof(ProcessorPowerInformation));
  if (entries_.powerInformation(kProcessorInformation, nullptr, 0, processors_.data(), bytes) !=
      0) {
    return false;
  }
  for (const ProcessorPowerInformation& processor : processors_) {
    unsigned percent = 0;
    if (ProcessorSelected(affinityMask_, processor.number, processors_.size()) &&
        LimitPercentFromMhz(processor.mhzLimit, processor.maxMhz, &percent)) {
      TakeLowerLimit(reading, percent);
    }
  }
  return true;
}

ThermalReading ThermalSources::Read() {
  ThermalReading reading;
  counters_.Read(reading);
  if (powerInformationAnswers_) powerInformationAnswers_ = ReadProcessorLimit(reading);
  if (powerStatusAnswers_) {
    SYSTEM_POWER_STATUS status{};
    powerStatusAnswers_ = entries_.powerStatus(&status) != FALSE;
    // 0 is offline; 255 (unknown) says nothing.
    reading.onBattery = powerStatusAnswers_ && status.ACLineStatus == 0;
  }
  return reading;
}

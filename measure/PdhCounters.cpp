#include "measure/PdhCounters.h"

// after windows.h
#include <pdhmsg.h>

namespace {
// "% Performance Limit" of the processors together (Windows 8 and later);
// "Temperature" (Kelvin) and "% Passive Limit" of every thermal zone (Windows 7
// and later). The instance wildcard is expanded at each collection; PDH does
// so for English paths too, only a wildcard in an object or counter name it
// would not.
constexpr char kPerformanceLimitPath[] = "\\Processor Information(_Total)\\% Performance Limit";
constexpr char kZoneTemperaturePath[] = "\\Thermal Zone Information(*)\\Temperature";
constexpr char kPassiveLimitPath[] = "\\Thermal Zone Information(*)\\% Passive Limit";

bool ValidStatus(DWORD status) {
  return status == PDH_CSTATUS_VALID_DATA || status == PDH_CSTATUS_NEW_DATA;
}

// No value this time, which says nothing of the next (a counter of rates
// before its second collection, an instance that is coming or going).
bool MissingThisTime(PDH_STATUS status) {
  return status == static_cast<PDH_STATUS>(PDH_INVALID_DATA) ||
         status == static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA) ||
         status == static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE) ||
         status == static_cast<PDH_STATUS>(PDH_NO_DATA);
}
}  // namespace

bool PdhCounters::Open(const ThermalEntries& entries) {
  Close();
  entries_ = entries;
  if (!entries_.openQuery || !entries_.addEnglishCounter || !entries_.collectQueryData ||
      !entries_.formattedValue || !entries_.formattedArray || !entries_.closeQuery) {
    return false;
  }
  if (entries_.openQuery(nullptr, 0, &query_) != ERROR_SUCCESS) {
    query_ = nullptr;
    return false;
  }
  const struct {
    const char* path;
    PDH_HCOUNTER* counter;
  } wanted[] = {{kPerformanceLimitPath, &performanceLimit_},
                {kZoneTemperaturePath, &zoneTemperature_},
                {kPassiveLimitPath, &passiveLimit_}};
  for (const auto& counter : wanted) {
    if (entries_.addEnglishCounter(query_, counter.path, 0, counter.counter) != ERROR_SUCCESS) {
      *counter.counter = nullptr;
    }
  }
  if (!Answers() || entries_.collectQueryData(query_) != ERROR_SUCCESS) {
    Close();
    return false;
  }
  return true;
}

bool PdhCounters::Answers() const {
  return query_ != nullptr && (performanceLimit_ || zoneTemperature_ || passiveLimit_);
}

void PdhCounters::Close() {
  // Closing the query closes its counters.
  if (query_ != nullptr) entries_.closeQuery(query_);
  query_ = nullptr;
  performanceLimit_ = zoneTemperature_ = passiveLimit_ = nullptr;
}

bool PdhCounters::ReadTotal(PDH_HCOUNTER& counter, double* value) {
  PDH_FMT_COUNTERVALUE formatted{};
  const PDH_STATUS status = entries_.formattedValue(counter, PDH_FMT_DOUBLE, nullptr, &formatted);
  if (status == ERROR_SUCCESS && ValidStatus(formatted.CStatus)) {
    *value = formatted.doubleValue;
    return true;
  }
  if (status != ERROR_SUCCESS && !MissingThisTime(status)) counter = nullptr;
  return false;
}

template <typename Take>
bool PdhCounters::ReadInstances(PDH_HCOUNTER& counter, Take take) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD bytes = static_cast<DWORD>(items_.size());
    DWORD count = 0;
    auto* items =
        items_.empty() ? nullptr : reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_A*>(items_.data());
    const PDH_STATUS status =
        entries_.formattedArray(counter, PDH_FMT_DOUBLE, &bytes, &count, items);
    if (status == static_cast<PDH_STATUS>(PDH_MORE_DATA) && bytes > items_.size()) {
      items_.resize(bytes);
      continue;
    }
    if (status != ERROR_SUCCESS) {
      if (!MissingThisTime(status)) counter = nullptr;
      return false;
    }
    for (DWORD i = 0; items != nullptr && i < count; ++i) {
      if (ValidStatus(items[i].FmtValue.CStatus)) take(items[i].FmtValue.doubleValue);
    }
    return true;
  }
  return false;
}

void PdhCounters::Read(ThermalReading& reading) {
  if (query_ == nullptr) return;
  if (entries_.collectQueryData(query_) != ERROR_SUCCESS) {
    Close();
    return;
  }
  double value = 0.0;
  unsigned percent = 0;
  if (performanceLimit_ && ReadTotal(performanceLimit_, &value) && LimitPercent(value, &percent)) {
    TakeLowerLimit(reading, percent);
  }
  if (passiveLimit_) {
    ReadInstances(passiveLimit_, [&](double zoneLimit) {
      if (LimitPercent(zoneLimit, &percent)) TakeLowerLimit(reading, percent);
    });
  }
  if (zoneTemperature_) {
    ReadInstances(zoneTemperature_, [&](double kelvin) {
      double celsius = 0.0;
      if (CelsiusFromKelvin(kelvin, &celsius)) TakeHotterZone(reading, celsius);
    });
  }
  if (!Answers()) Close();
}

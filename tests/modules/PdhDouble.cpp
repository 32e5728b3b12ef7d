// A stand-in for pdh.dll that serves scripted counters, for the test that
// installs it in the prefix's system folder: the counters the program reads
// exist only on real Windows. The entries have the documented signatures; the
// script is the environment variable SENTEL_TEST_PDH, read at each collection:
//   counters=limit,temperature,passive   the counters this system has (all when absent)
//   limit=80                             "% Performance Limit" of _Total
//   zones=370.15/100,330.15/55           each zone's Kelvin and "% Passive Limit"
//   collectfails=N                       the Nth collection (from 1) and later fail
// SENTEL_TEST_PDH_OPEN holds the number of queries open, for the test to read.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
using Status = LONG;
constexpr Status kOk = 0;
constexpr Status kMoreData = static_cast<Status>(0x800007D2u);
constexpr Status kNoCounter = static_cast<Status>(0xC0000BB9u);
constexpr Status kInvalidHandle = static_cast<Status>(0xC0000BBCu);
constexpr Status kInvalidArgument = static_cast<Status>(0xC0000BBDu);
constexpr DWORD kFormatDouble = 0x00000200;

struct FormattedValue {  // PDH_FMT_COUNTERVALUE
  DWORD status;
  union {
    LONG longValue;
    double doubleValue;
    LONGLONG largeValue;
    LPCSTR ansi;
    LPCWSTR wide;
  };
};
struct FormattedItem {  // PDH_FMT_COUNTERVALUE_ITEM_A
  LPSTR name;
  FormattedValue value;
};

enum Kind { kLimit = 1, kTemperature, kPassive };
struct Counter;
struct Query {
  std::vector<Counter*> counters;
  int collections = 0;
  bool failing = false;
  double limit = 0.0;
  std::vector<double> kelvin, passive;
  std::vector<std::string> names;
};
struct Counter {
  Query* query;
  Kind kind;
};

std::string Script() {
  char text[512] = {};
  const DWORD length = GetEnvironmentVariableA("SENTEL_TEST_PDH", text, sizeof text);
  return length < sizeof text ? std::string(text, length) : std::string();
}

// The value of `key` in the script, or `fallback`.
std::string Value(const std::string& script, const char* key, const char* fallback) {
  const std::string wanted = std::string(key) + "=";
  size_t begin = 0;
  while (begin < script.size()) {
    size_t end = script.find(';', begin);
    if (end == std::string::npos) end = script.size();
    if (script.compare(begin, wanted.size(), wanted) == 0) {
      return script.substr(begin + wanted.size(), end - begin - wanted.size());
    }
    begin = end + 1;
  }
  return fallback;
}

int g_openQueries = 0;
void PublishOpenQueries() {
  SetEnvironmentVariableA("SENTEL_TEST_PDH_OPEN", std::to_string(g_openQueries).c_str());
}
}  // namespace

extern "C" {
__declspec(dllexport) Status WINAPI PdhOpenQueryA(LPCSTR source, DWORD_PTR, HANDLE* query) {
  if (source != nullptr || query == nullptr) return kInvalidArgument;
  *query = new Query;
  ++g_openQueries;
  PublishOpenQueries();
  return kOk;
}

__declspec(dllexport) Status WINAPI
    PdhAddEnglishCounterA(HANDLE query, LPCSTR path, DWORD_PTR, HANDLE* counter) {
  if (query == nullptr || path == nullptr || counter == nullptr) return kInvalidArgument;
  const struct {
    const char* path;
    const char* name;
    Kind kind;
  } known[] = {{"\\Processor Information(_Total)\\% Performance Limit", "limit", kLimit},
               {"\\Thermal Zone Information(*)\\Temperature", "temperature", kTemperature},
               {"\\Thermal Zone Information(*)\\% Passive Limit", "passive", kPassive}};
  const std::string present = "," + Value(Script(), "counters", "limit,temperature,passive") + ",";
  for (const auto& entry : known) {
    if (std::strcmp(path, entry.path) == 0 &&
        present.find(std::string(",") + entry.name + ",") != std::string::npos) {
      auto* owner = static_cast<Query*>(query);
      owner->counters.push_back(new Counter{owner, entry.kind});
      *counter = owner->counters.back();
      return kOk;
    }
  }
  return kNoCounter;
}

__declspec(dllexport) Status WINAPI PdhCollectQueryData(HANDLE handle) {
  auto* query = static_cast<Query*>(handle);
  if (query == nullptr) return kInvalidHandle;
  const std::string script = Script();
  const int failsAt = std::atoi(Value(script, "collectfails", "0").c_str());
  ++query->collections;
  if (failsAt > 0 && query->collections >= failsAt) return kInvalidHandle;
  query->limit = std::atof(Value(script, "limit", "100").c_str());
  query->kelvin.clear();
  query->passive.clear();
  const std::string zones = Value(script, "zones", "");
  for (size_t begin = 0; begin < zones.size();) {
    size_t end = zones.find(',', begin);
    if (end == std::string::npos) end = zones.size();
    const std::string zone = zones.substr(begin, end - begin);
    const size_t slash = zone.find('/');
    query->kelvin.push_back(std::atof(zone.substr(0, slash).c_str()));
    query->passive.push_back(slash == std::string::npos ? 100.0
                                                        : std::atof(zone.c_str() + slash + 1));
    begin = end + 1;
  }
  query->names.assign(query->kelvin.size(), "");
  for (size_t i = 0; i < query->names.size(); ++i)
    query->names[i] = "\\_TZ.TZ0" + std::to_string(i);
  return kOk;
}

__declspec(dllexport) Status WINAPI
    PdhGetFormattedCounterValue(HANDLE handle, DWORD format, LPDWORD type, FormattedValue* value) {
  const auto* counter = static_cast<Counter*>(handle);
  if (counter == nullptr || value == nullptr || format != kFormatDouble) return kInvalidArgument;
  if (counter->kind != kLimit) return kInvalidArgument;  // the zones are read as arrays
  if (type != nullptr) *type = 0;
  value->status = 0;
  value->doubleValue = counter->query->limit;
  return kOk;
}

__declspec(dllexport) Status WINAPI
    PdhGetFormattedCounterArrayA(HANDLE handle, DWORD format, LPDWORD bytes, LPDWORD count,
                                 FormattedItem* items) {
  const auto* counter = static_cast<Counter*>(handle);
  if (counter == nullptr || bytes == nullptr || count == nullptr || format != kFormatDouble) {
    return kInvalidArgument;
  }
  const Query& query = *counter->query;
  const size_t zones = query.kelvin.size();
  size_t needed = zones * sizeof(FormattedItem);
  for (const auto& name : query.names) needed += name.size() + 1;
  *count = static_cast<DWORD>(zones);
  if (*bytes < needed || items == nullptr) {
    *bytes = static_cast<DWORD>(needed);
    return kMoreData;
  }
  char* names = reinterpret_cast<char*>(items + zones);
  for (size_t i = 0; i < zones; ++i) {
    std::memcpy(names, query.names[i].c_str(), query.names[i].size() + 1);
    items[i].name = names;
    names += query.names[i].size() + 1;
    items[i].value.status = 0;
    items[i].value.doubleValue = counter->kind == kTemperature ? query.kelvin[i] : query.passive[i];
  }
  *bytes = static_cast<DWORD>(needed);
  return kOk;
}

__declspec(dllexport) Status WINAPI PdhCloseQuery(HANDLE handle) {
  if (handle == nullptr) return kInvalidHandle;
  auto* query = static_cast<Query*>(handle);
  for (Counter* counter : query->counters) delete counter;
  delete query;
  --g_openQueries;
  PublishOpenQueries();
  return kOk;
}
}

#include "app/portable/ErrorCodes.h"
#include "monitor/MonitorDialog.h"

// The log file is not built yet.
std::string MonitorDialog::MakeLogFileName() { return {}; }
HRESULT MonitorDialog::WriteLogFile(const std::string&) { return codes::kFail; }
LRESULT MonitorDialog::OnSaveLog() { return 0; }

#include "monitor/MonitorDialog.h"

// Runs are not built yet.
LRESULT MonitorDialog::OnStartStop() { return 0; }
void MonitorDialog::AppendLogText(const char*) {}
void MonitorDialog::FinishRunBeforeLeaving() {}

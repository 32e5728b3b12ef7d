#include "monitor/MonitorDialog.h"

// Samples are not built yet.
LRESULT MonitorDialog::OnSampleTimer() { return 0; }

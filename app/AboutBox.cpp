#include "monitor/MonitorDialog.h"

// Not built yet.
LRESULT MonitorDialog::OnAbout() { return 0; }

// The program run as one Format, for hosts whose windows live in memory (the Linux terminal): the
// main dialog opens and scans as it does on Windows, is shown once, its "Format" button is pressed
// when it is enabled, and the dialog closes through its Exit button. The dialog's own handlers do
// all the work, so both hosts run the same logic.
#pragma once

#include "app/format_report.h"
#include "app/framework/memory_window_host.h"
#include "app/platform_services.h"
#include "app/tolven_format_app.h"

namespace tolven {

// The report of the Format command; outcome kNotRun when the button was disabled (no player).
FormatReport RunUnattendedFormat(CTolvenFormatApp& app, MemoryWindowHost& host,
                                 const PlatformServices& services);

}  // namespace tolven

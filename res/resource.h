// Resource ids shared by the resource script and the Windows host (plain macros, since the
// resource compiler's preprocessor understands nothing else).
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TOLVENFORMAT_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_LOG_EDIT 1000
#define IDC_FORMAT_BUTTON 1001
#define IDC_PROGRESS 1002
#define IDC_PANEL_FRAME 1003

// Ids of the progress dialog template and its controls, shared by the resource script and
// the code that drives the dialog.
#pragma once

#define IDD_PROGRESS_DIALOG 101
#define IDC_PROGRESS_BAR 1000
#define IDC_PROGRESS_STATUS 1004

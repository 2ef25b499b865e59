#include "commands/interaction/progress_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "commands/interaction/progress_arguments_parse.h"
#include "resources/progress_dialog_ids.h"
#include "support/win_handles.h"

namespace {
UniqueWindow& DialogWindow() {
  static UniqueWindow window;
  return window;
}

// Every message is left to the default handling (returns 0), also the initialisation, so
// that no control takes the focus. Cancel, Esc and closing the window therefore do nothing:
// the dialog only shows how far the run is, and the run goes on; in particular no quit
// message is posted, which would end a later message box before the user saw it.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    CenterWindow(dialog, nullptr);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                        MAKELPARAM(kProgressMin, kProgressMax));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_STATUS, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  }
  return 0;
}

// Clamps `value` so that [value, value + size) lies within [low, high) where it can.
LONG KeepInside(LONG value, LONG size, LONG low, LONG high) {
  if (value < low) return low;
  if (value + size > high) return high - size;
  return value;
}
}  // namespace

HWND ProgressDialogWindow() {
  UniqueWindow& window = DialogWindow();
  // A window destroyed behind the module's back (its thread's end) counts as closed.
  if (window && !IsWindow(window.Get())) window.Release();
  return window.Get();
}

bool ShowProgressDialog(const std::string& title) {
  if (!ProgressDialogWindow()) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    HWND created =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS_DIALOG),
                           nullptr, ProgressDialogProc, 0);
    if (!created) return false;
    DialogWindow().Reset(created);
  }
  HWND dialog = DialogWindow().Get();
  ShowWindow(dialog, SW_SHOWNORMAL);
  UpdateWindow(dialog);
  SetWindowTextA(dialog, title.c_str());
  return true;
}

void UpdateProgressDialog(int position, const std::string& statusText) {
  HWND dialog = ProgressDialogWindow();
  if (!dialog) return;
  position = std::clamp(position, kProgressMin, kProgressMax);
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  SetDlgItemTextA(dialog, IDC_PROGRESS_STATUS, statusText.c_str());
  UpdateWindow(dialog);
}

void CloseProgressDialog() {
  ProgressDialogWindow();
  DialogWindow().Reset();
}

void CenterWindow(HWND window, HWND centreOn) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  const bool child = (style & WS_CHILD) != 0;
  if (!centreOn) centreOn = child ? GetParent(window) : GetWindow(window, GW_OWNER);

  RECT own{};
  GetWindowRect(window, &own);
  const LONG width = own.right - own.left, height = own.bottom - own.top;

  RECT area{}, centre{};
  if (!child) {
    if (centreOn && (!IsWindowVisible(centreOn) || IsIconic(centreOn))) centreOn = nullptr;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (centreOn) {
      GetWindowRect(centreOn, &centre);
    } else {
      centre = area;
    }
  } else {
    HWND parent = GetParent(window);
    GetClientRect(parent, &area);
    GetClientRect(centreOn, &centre);
    MapWindowPoints(centreOn, parent, reinterpret_cast<POINT*>(&centre), 2);
  }

  LONG left = (centre.left + centre.right) / 2 - width / 2;
  LONG top = (centre.top + centre.bottom) / 2 - height / 2;
  left = KeepInside(left, width, area.left, area.right);
  top = KeepInside(top, height, area.top, area.bottom);
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

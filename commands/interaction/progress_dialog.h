#pragma once
// The engine's one progress dialog: a modeless window of the thread that runs the script.
// It is painted and answers input only while that thread dispatches messages, that is inside
// the waits of message_waits.h, which every long command uses. The dialog commands drive it;
// any other command may ask whether it is open.
#include <windows.h>

#include <string>

// The open dialog, or nullptr.
HWND ProgressDialogWindow();
// Creates the dialog when none is open, shows it and sets its title. False (and nothing
// shown) when it cannot be created.
bool ShowProgressDialog(const std::string& title);
// Moves the bar (a position outside 0..100 to the nearer end) and sets the status text;
// nothing when no dialog is open.
void UpdateProgressDialog(int position, const std::string& statusText);
// Destroys the dialog at once; nothing when none is open.
void CloseProgressDialog();

// Moves `window` (keeping its size, z-order and activation) so that it is centred on
// `centreOn`, or when that is null on its parent (a child) or owner, or else on the work
// area, and stays inside the work area (a child: inside its parent's client area).
void CenterWindow(HWND window, HWND centreOn);

#pragma once
// The command families that talk to the user: message boxes and the progress dialog.
class HandlerTable;

// SHOWMSG and YESNO.
void RegisterMessageBoxCommands(HandlerTable& table);
// STARTPROGRESSDLG, SETPROGRESS and ENDPROGRESSDLG.
void RegisterProgressDialogCommands(HandlerTable& table);

// STARTPROGRESSDLG, SETPROGRESS and ENDPROGRESSDLG: show, update and close the progress
// dialog. None of them fails: a dialog that cannot be made, or an update without a dialog,
// is passed over. In quiet mode they do nothing.
#include <windows.h>

#include "commands/interaction/dialog_families.h"
#include "commands/interaction/message_waits.h"
#include "commands/interaction/progress_arguments_parse.h"
#include "commands/interaction/progress_dialog.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"

namespace {
constexpr std::size_t kDialogTextSize = 1024;
constexpr DWORD kUpdatePauseMs = 100;    // lets the dialog paint after each update
constexpr DWORD kClosingPauseMs = 1500;  // the last state stays readable before it goes

bool Quiet() { return TheHostValues().quietMode; }

unsigned StartProgressDlg(EngineContext& ctx, ScriptLine& line) {
  if (Quiet()) return 0;
  std::string title;
  ExpandSymbols(ctx, TrimmedCopy(line.argumentText), title, kDialogTextSize);
  ShowProgressDialog(title);
  return 0;
}

// "position,status text" or "position" alone (the status text is then emptied).
unsigned SetProgress(EngineContext& ctx, ScriptLine& line) {
  if (Quiet()) return 0;
  std::string expanded;
  ExpandSymbols(ctx, line.argumentText, expanded, kDialogTextSize);
  if (!ProgressDialogWindow()) return 0;
  ProgressArguments arguments = ParseProgressArguments(expanded);
  UpdateProgressDialog(arguments.position, arguments.statusText);
  SleepWithMessages(kUpdatePauseMs);
  return 0;
}

unsigned EndProgressDlg(EngineContext&, ScriptLine&) {
  if (Quiet() || !ProgressDialogWindow()) return 0;
  SleepWithMessages(kClosingPauseMs);
  CloseProgressDialog();
  return 0;
}
}  // namespace

void RegisterProgressDialogCommands(HandlerTable& table) {
  table.Add(kCmdStartProgressDlg, StartProgressDlg);
  table.Add(kCmdSetProgress, SetProgress);
  table.Add(kCmdEndProgressDlg, EndProgressDlg);
}

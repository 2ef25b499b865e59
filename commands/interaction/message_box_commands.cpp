// SHOWMSG and YESNO: modal message boxes without an owner window. Both block the run until
// the user answers. In quiet mode nothing is shown and YESNO answers "YES".
#include <windows.h>

#include "commands/interaction/dialog_families.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"

namespace {
constexpr const char* kMessageBoxCaption = "Calvane Orqex";
constexpr std::size_t kShownTextSize = 10240;
constexpr std::size_t kQuestionSize = 1024;
constexpr UINT kShowMessageFlags = MB_OK | MB_ICONINFORMATION | MB_SERVICE_NOTIFICATION;
constexpr UINT kQuestionFlags = MB_YESNO | MB_ICONQUESTION;

// The text is only shown: a reference to a missing symbol shows what came before it.
unsigned ShowMsg(EngineContext& ctx, ScriptLine& line) {
  std::string text;
  ExpandSymbols(ctx, TrimmedCopy(line.argumentText), text, kShownTextSize);
  if (!TheHostValues().quietMode) {
    MessageBoxA(nullptr, text.c_str(), kMessageBoxCaption, kShowMessageFlags);
  }
  return 0;
}

unsigned YesNo(EngineContext& ctx, ScriptLine& line) {
  std::string name, question, shown;
  if (unsigned rc = SplitNameValue(line.argumentText, kPathSize, kQuestionSize, name, question)) {
    return FailLine(ctx, line, rc);
  }
  if (unsigned rc = ExpandSymbols(ctx, question, shown, kQuestionSize)) {
    return FailLine(ctx, line, rc);
  }
  bool yes = true;
  if (!TheHostValues().quietMode) {
    int answer = MessageBoxA(nullptr, shown.c_str(), kMessageBoxCaption, kQuestionFlags);
    if (answer == 0) LogError("YESNO: the question could not be shown (%lu)", GetLastError());
    yes = answer == IDYES;
  }
  return FailLine(ctx, line, SetSymbol(ctx.symbols, name, yes ? "YES" : "NO"));
}
}  // namespace

void RegisterMessageBoxCommands(HandlerTable& table) {
  table.Add(kCmdShowMsg, ShowMsg);
  table.Add(kCmdYesNo, YesNo);
}

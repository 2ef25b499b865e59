#include "engine/errors.h"

#include "engine/final_status.h"
#include "engine/handler_table.h"
#include "engine/message_text.h"
#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kMessageSize = 260;
constexpr std::size_t kFinalMessageSize = 512;

struct ErrorRow {
  unsigned code;
  unsigned messageId;
};
constexpr ErrorRow kErrorRows[] = {
#define ORQ_ERROR(name, code, messageId, text) {code, messageId},
#define ORQ_TEXT(name, messageId, text)
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
};
}  // namespace

unsigned MessageIdOfError(unsigned code) {
  for (const ErrorRow& row : kErrorRows) {
    if (row.code == code) return row.messageId;
  }
  return 0;
}

std::string ErrorMessageText(unsigned code) {
  unsigned id = MessageIdOfError(code);
  std::string text = id ? LoadMessageText(id) : std::string();
  return text.empty() ? std::string("Unknown error") : text;
}

std::string FinalErrorMessage(unsigned code, std::string_view text) {
  return FitToBuffer("Orqex Script: " + ErrorMessageText(code) + "<br>" + std::string(text),
                     kFinalMessageSize);
}

void ReportError(unsigned code, unsigned lineNumber, std::string_view text) {
  std::string message = ErrorMessageText(code);
  std::string lineText(text);
  LogError("Error: %s\n>>Line %u: %s", message.c_str(), lineNumber, lineText.c_str());
  FinalStatus& status = TheFinalStatus();
  status.status = kComFailure;
  status.message = FinalErrorMessage(code, lineText);
}

void ReportLineError(EngineContext& ctx, const ScriptLine& line, unsigned code) {
  if (code != 0) ctx.lastError = code;
  ctx.lineNumber = line.lineNumber;
  // The error line and the agent's message show the line as the log copy does: a secret the
  // script holds literally (a service password) is hidden there too.
  std::string argument = line.argumentText;
  if (ctx.handlers) ctx.handlers->FilterLogCopy(line.commandId, argument);
  ctx.lastText = FitToBuffer(line.commandWord + " " + argument, kLastTextSize);
  ReportError(ctx.lastError, ctx.lineNumber, ctx.lastText);
}

unsigned FailLine(EngineContext& ctx, const ScriptLine& line, unsigned code) {
  if (code == 0) return 0;
  if (ctx.currentSection) ctx.currentSection->stopFlag = 1;
  ReportLineError(ctx, line, code);
  return code;
}

void LogMessage(unsigned messageId, const char* argument) {
  std::string text = LoadMessageText(messageId);
  if (argument) {
    // The text comes from our own resources, but is never used as a printf format.
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
    text = FitToBuffer(text, kMessageSize);
  }
  LogStatus("%s", text.c_str());
}

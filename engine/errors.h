#pragma once
// Error codes, their messages, and how a failing line is recorded and logged.
#include <string>
#include <string_view>

struct EngineContext;
struct ScriptLine;

// Every code with a message, named after it; the single list is engine/messages.inc.
enum ErrorCode : unsigned {
  kOk = 0,
#define ORQ_ERROR(name, code, messageId, text) name = code,
#define ORQ_TEXT(name, messageId, text)
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
  kConditionalStop = 53,     // CONTINUEIF: ends the run quietly, exit code 0
  kUsageExitCode = 57,       // host: no script named, or registration failed
};
// RETURNIF's own status for a condition that does not hold; never reported.
constexpr unsigned kReturnIfNotHeld = 41;

// Message ids of texts that are not error messages.
enum MessageId : unsigned {
#define ORQ_ERROR(name, code, messageId, text)
#define ORQ_TEXT(name, messageId, text) name = messageId,
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
};

// The message id of an error code, or 0 when the code has none.
unsigned MessageIdOfError(unsigned code);
// The message of an error code, or "Unknown error".
std::string ErrorMessageText(unsigned code);

// Records the line (lastError, lineNumber, lastText) and reports the error.
void ReportLineError(EngineContext& ctx, const ScriptLine& line, unsigned code);
// The final message of a failure: "Orqex Script: <message><br><text>", cut to 511 bytes.
std::string FinalErrorMessage(unsigned code, std::string_view text);
// Writes "Error: ..." to the log and sets the final status to E_FAIL with the message.
void ReportError(unsigned code, unsigned lineNumber, std::string_view text);
// Loads message `messageId`, formats it with `argument` (cut to 259 bytes), logs it.
void LogMessage(unsigned messageId, const char* argument = nullptr);

// The usual failure of a handler: sets the current section's stopFlag, reports the line
// with `code` and returns `code`. Returns 0 unchanged for code 0.
unsigned FailLine(EngineContext& ctx, const ScriptLine& line, unsigned code);

#pragma once
// RETURN and RETURNIF are carried out by the section runner itself; these do the work.
#include <string>
#include <string_view>

struct EngineContext;
struct ScriptLine;

// Trims the argument in place and expands it into `value`. Always succeeds.
void CarryOutReturn(EngineContext& ctx, ScriptLine& line, std::string& value);
// 0 with `value` set when the condition holds, 41 when it does not, else a reported code.
unsigned CarryOutReturnIf(EngineContext& ctx, ScriptLine& line, std::string& value);
// CALLIF, GOTOIF, RETURNIF: the condition before the first comma and what follows it,
// neither trimmed. False when there is no comma.
bool SplitConditionLine(std::string_view text, std::string_view& condition,
                        std::string_view& rest);
// The target of CALL, and of CALLIF after its condition: "section" or "result=section",
// both trimmed. 0, or 23 / 25 from the name split.
unsigned SplitCallTarget(std::string_view text, std::string& result, std::string& section,
                         bool& hasResult);
// Writes the "Executing line" entry of a line, its argument expanded for the log only.
void LogExecutingLine(const EngineContext& ctx, const ScriptLine& line);

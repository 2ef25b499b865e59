#pragma once
// Running a script: opening, the start section, calls between sections, closing.
#include <cstddef>
#include <string>
#include <string_view>

struct EngineContext;
struct ScriptLine;
class HandlerTable;

// Runs one script from ScriptOpen to ScriptClose. Returns the run's status (0 also for a
// conditional stop); on failure `errorLine`/`errorText` receive the failing line.
unsigned ExecuteScript(const std::string& scriptPath, const std::string& startSection,
                       const std::string& scriptDir, const HandlerTable& handlers,
                       unsigned* errorLine = nullptr, std::string* errorText = nullptr);

unsigned DispatchLine(EngineContext& ctx, ScriptLine& line);
unsigned ScriptRun(EngineContext& ctx, std::string_view startSection);
// Runs a section as a call; `resultName` (may be null) receives its return value, or
// "TRUE"/"FALSE". Returns 4 for a missing section.
unsigned RunSection(EngineContext& ctx, std::string_view sectionName,
                    const std::string* resultName);

// Deepest nesting of calls between sections; a call beyond it fails the line.
constexpr unsigned kMaxCallDepth = 200;

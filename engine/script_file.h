#pragma once
// Reading a script file and turning it into sections and lines.
#include <memory>
#include <string>
#include <string_view>

struct EngineContext;

// The section a run starts with when none is named.
constexpr const char* kDefaultStartSection = "DefaultInstall";

// Reads the whole file. 0, 9 (cannot open), 8 (empty), 11 (short read) or 1 (memory).
unsigned LoadScript(const std::string& path, std::string& content);
// Fills ctx.sections from `text` (a zero byte ends it). 0, 1, 2 or 3.
unsigned ParseScript(EngineContext& ctx, std::string_view text);
// Loads and parses the script and checks that the start section exists (else 7).
unsigned ScriptOpen(const std::string& path, std::string_view startSection,
                    const std::string& scriptDir, std::unique_ptr<EngineContext>& ctx);
void ScriptClose(std::unique_ptr<EngineContext>& ctx);

// The status of the last ScriptOpen and the last line number a run recorded; read when no
// context exists.
struct LastRunRecord {
  unsigned status = 0;
  unsigned lineNumber = 0;
  bool fileOpened = false;  // the script file itself could be opened
};
LastRunRecord& TheLastRunRecord();

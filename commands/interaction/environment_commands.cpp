// EXTENDPATH: puts a folder in front of this process's PATH, which the programs
// the engine starts inherit.
#include <windows.h>

#include "commands/interaction/restart_families.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"

namespace {
constexpr std::size_t kFolderTextSize = 4096;

// The variable's whole value, however long; false when it is not set.
bool ReadEnvironment(const char* name, std::string& value) {
  for (DWORD size = GetEnvironmentVariableA(name, nullptr, 0); size != 0;) {
    value.assign(size, '\0');
    DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    if (length < size) {
      value.resize(length);
      return true;
    }
    size = length;  // it grew meanwhile
  }
  return false;
}

// The old value is kept whole behind the new folder, however long it is; a
// value the system refuses leaves PATH as it was.
unsigned ExtendPath(EngineContext& ctx, ScriptLine& line) {
  std::string folder;
  if (unsigned status = ExpandForAction(ctx, line.argumentText, folder, kFolderTextSize)) {
    return FailLine(ctx, line, status);
  }
  TrimText(folder);
  std::string oldPath;
  std::string newPath = folder + ";";
  if (ReadEnvironment("PATH", oldPath)) newPath += oldPath;
  if (!SetEnvironmentVariableA("PATH", newPath.c_str())) {
    LogStatus("EXTENDPATH: PATH cannot take %s in front (%lu); it stays as it was", folder.c_str(),
              GetLastError());
    return 0;
  }
  LogStatus("Path Is: %s", newPath.c_str());
  return 0;
}
}  // namespace

void RegisterEnvironmentCommands(HandlerTable& table) { table.Add(kCmdExtendPath, ExtendPath); }

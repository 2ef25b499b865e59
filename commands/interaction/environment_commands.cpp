// EXTENDPATH: puts a folder in front of this process's PATH, which the programs
// the engine starts inherit.
#include <windows.h>

#include <string>

#include "commands/interaction/restart_families.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/wide_text.h"

namespace {
constexpr std::size_t kFolderTextSize = 4096;

// The variable's whole value, however long; false when it is not set. Wide, because the
// ANSI size query may count UTF-16 units where the value takes more bytes (code page 932).
bool ReadEnvironment(const wchar_t* name, std::wstring& value) {
  for (DWORD size = GetEnvironmentVariableW(name, nullptr, 0); size != 0;) {
    value.assign(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
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
  std::wstring oldPath;
  std::wstring newPath = WideFromAnsi(folder) + L";";
  if (ReadEnvironment(L"PATH", oldPath)) newPath += oldPath;
  if (!SetEnvironmentVariableW(L"PATH", newPath.c_str())) {
    LogStatus("EXTENDPATH: PATH cannot take %s in front (%lu); it stays as it was", folder.c_str(),
              GetLastError());
    return 0;
  }
  LogStatus("Path Is: %s", AnsiFromWide(newPath).c_str());
  return 0;
}
}  // namespace

void RegisterEnvironmentCommands(HandlerTable& table) { table.Add(kCmdExtendPath, ExtendPath); }

// The file and folder commands. Failures of the system's file functions are
// never reported: the script sees them through the values stored or by testing
// again. Every path a command creates or removes is expanded whole or not at
// all (ExpandForAction), and the commands that remove a tree or open a folder
// to everybody refuse drive roots and the system's own folders.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "commands/files/file_families.h"
#include "commands/files/folder_guard.h"
#include "commands/files/path_form_parse.h"
#include "commands/files/path_routines.h"
#include "commands/interaction/message_waits.h"
#include "commands/interaction/wait_limit_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kPathSize = 260;
constexpr std::size_t kShortNamePathSize = 1024;    // CONVERTTOSHORTPATHNAME's path field
constexpr std::size_t kShortNameExpandSize = 2048;  // and its expansion
constexpr DWORD kWaitStepMs = 1000;

const char* TrueFalse(bool yes) { return yes ? "TRUE" : "FALSE"; }

// "%u.%u.%u.%u" of the fixed version of the file's version resource, or "0".
std::string FileVersionText(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "0";
  std::vector<char> block(size);
  void* value = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return "0";
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  return std::to_string(HIWORD(info->dwFileVersionMS)) + '.' +
         std::to_string(LOWORD(info->dwFileVersionMS)) + '.' +
         std::to_string(HIWORD(info->dwFileVersionLS)) + '.' +
         std::to_string(LOWORD(info->dwFileVersionLS));
}

unsigned GetFileVersion(EngineContext& ctx, ScriptLine& line) {
  std::string name, path, expanded;
  if (SplitNameValue(line.argumentText, kPathSize, kPathSize, name, path) != 0) {
    return FailLine(ctx, line, kErrFileVersion);
  }
  ExpandSymbols(ctx, path, expanded,
                kPathSize);  // only read: what was expanded is used
  expanded.erase(std::remove(expanded.begin(), expanded.end(), '"'), expanded.end());
  return FailLine(ctx, line, SetSymbol(ctx.symbols, name, FileVersionText(expanded)));
}

// A value longer than the field is refused rather than cut: the cut text could name a
// folder above the one meant, which a later REMOVEDIRRECURSIVE would remove.
unsigned StripFileName(EngineContext& ctx, ScriptLine& line) {
  std::string name = TrimmedCopy(line.argumentText);
  const std::string* found = ctx.symbols.Find(name);
  if (!found) return FailLine(ctx, line, kErrSymbolNotFound);
  if (found->size() >= kPathSize) return FailLine(ctx, line, kErrSymbolTooLong);
  std::string value = *found;
  std::size_t last = FindLastChar(value, '\\');
  if (last != std::string::npos) value.resize(last);
  return FailLine(ctx, line, SetSymbol(ctx.symbols, name, value));
}

unsigned FileExists(EngineContext& ctx, ScriptLine& line) {
  std::string name, path, expanded;
  if (unsigned rc = SplitNameValue(line.argumentText, kPathSize, kPathSize, name, path)) return rc;
  ExpandSymbols(ctx, path, expanded, kPathSize);
  return SetSymbol(ctx.symbols, name, TrueFalse(IsExistingFile(expanded)));
}

unsigned IsFileLocked(EngineContext& ctx, ScriptLine& line) {
  std::string name, path, expanded;
  if (unsigned rc = SplitNameValue(line.argumentText, kPathSize, kPathSize, name, path)) {
    return FailLine(ctx, line, rc);
  }
  if (unsigned rc = ExpandSymbols(ctx, path, expanded, kPathSize)) return FailLine(ctx, line, rc);
  return SetSymbol(ctx.symbols, name, TrueFalse(!IsFileFree(expanded)));
}

// A negative limit waits as long as the file stays locked; every wait is logged first.
unsigned WaitTillUnlocked(EngineContext& ctx, ScriptLine& line) {
  std::string_view rest = line.argumentText;
  std::string path, limitText;
  NextItem(rest, ',', kPathSize, path);
  TrimText(path);
  if (path.empty() || IsFileFree(path)) return 0;
  if (!NextItem(rest, ',', kPathSize, limitText)) return 0;
  TrimText(limitText);
  const WaitLimit limit = ReadWaitLimit(limitText);
  if (!limit.unlimited && limit.ms == 0) return 0;
  LogStatus("Waiting %s for %s to be unlocked.", WaitLimitText(limit).c_str(), path.c_str());
  for (std::uint32_t waited = 0; limit.unlimited || waited < limit.ms;) {
    const std::uint32_t step =
        limit.unlimited ? kWaitStepMs : std::min<std::uint32_t>(kWaitStepMs, limit.ms - waited);
    SleepWithMessages(step);
    if (!limit.unlimited) waited += step;
    if (IsFileFree(path)) break;
  }
  return 0;
}

enum class FolderAction { Create, Remove, RemoveTree };

template <FolderAction action>
unsigned FolderCommand(EngineContext& ctx, ScriptLine& line) {
  std::string path;
  if (unsigned rc = ExpandForAction(ctx, TrimmedCopy(line.argumentText), path, kPathSize)) {
    return FailLine(ctx, line, rc);
  }
  if (IsTooShortFolder(path)) return kErrInvalidSwitch;
  switch (action) {
    case FolderAction::Create:
      CreatePath(path);
      break;
    case FolderAction::Remove:
      RemoveEmptyFolder(path);
      break;
    case FolderAction::RemoveTree:
      if (IsGuardedFolder(path)) return kErrInvalidSwitch;
      // What could neither go now nor be scheduled is a failure the script must see.
      if (!RemoveTree(path)) return FailLine(ctx, line, kErrRemoveDir);
      break;
  }
  return 0;
}

unsigned CreateSpecialDir(EngineContext& ctx, ScriptLine& line) {
  std::string path;
  if (unsigned rc = ActedOnPath(ctx, line.argumentText, path)) return FailLine(ctx, line, rc);
  if (IsGuardedFolder(path)) return kErrInvalidSwitch;
  // A link could lead anywhere: the folder it reaches keeps its rights.
  if (IsReachedThroughLink(path)) {
    LogStatus("CREATESPECIALDIR: %s is reached through a link; its rights are not changed",
              path.c_str());
    return kErrInvalidSwitch;
  }
  CreateOpenDirectory(path);
  return 0;
}

// A path without a short form (one that does not exist) is stored unchanged.
unsigned ConvertToShortPathName(EngineContext& ctx, ScriptLine& line) {
  std::string name, path, expanded;
  if (unsigned rc = SplitNameValue(line.argumentText, kPathSize, kShortNamePathSize, name, path)) {
    return FailLine(ctx, line, rc);
  }
  if (unsigned rc = ExpandSymbols(ctx, path, expanded, kShortNameExpandSize)) {
    return FailLine(ctx, line, rc);
  }
  std::string shortPath(kShortNamePathSize, '\0');
  DWORD length =
      GetShortPathNameA(expanded.c_str(), shortPath.data(), static_cast<DWORD>(kShortNamePathSize));
  // A length at or above the buffer is the room the short form would need: not
  // written.
  if (length == 0 || length >= kShortNamePathSize) {
    shortPath = expanded;
  } else {
    shortPath.resize(length);
  }
  return FailLine(ctx, line, SetSymbol(ctx.symbols, name, shortPath));
}
}  // namespace

void RegisterFileCommands(HandlerTable& table) {
  table.Add(kCmdGetFileVersion, GetFileVersion);
  table.Add(kCmdStripFileName, StripFileName);
  table.Add(kCmdFileExists, FileExists);
  table.Add(kCmdIsFileLocked, IsFileLocked);
  table.Add(kCmdWaitTillUnlocked, WaitTillUnlocked);
  table.Add(kCmdCreateDir, FolderCommand<FolderAction::Create>);
  table.Add(kCmdRemoveDir, FolderCommand<FolderAction::Remove>);
  table.Add(kCmdRemoveDirRecursive, FolderCommand<FolderAction::RemoveTree>);
  table.Add(kCmdCreateSpecialDir, CreateSpecialDir);
  table.Add(kCmdConvertToShortPathName, ConvertToShortPathName);
}

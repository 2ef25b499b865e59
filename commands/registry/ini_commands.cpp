// The INI file commands. Entries are read and written through the profile functions;
// the file is first looked for with SearchFile, and no command creates a new INI file.
#include <windows.h>

#include <algorithm>
#include <limits>

#include "commands/files/path_routines.h"
#include "commands/registry/clear_ini_section.h"
#include "commands/registry/ini_arguments_parse.h"
#include "commands/registry/registry_families.h"
#include "commands/registry/registry_path_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"

namespace {
constexpr std::size_t kExpandedArgumentSize = 3000;  // the reading commands' whole argument

std::string ReadProfileText(const IniReadSpec& fields, const std::string& path,
                            std::size_t bufferSize) {
  std::string value(bufferSize, '\0');
  DWORD length = GetPrivateProfileStringA(fields.section.c_str(), fields.key.c_str(), "", value.data(),
                                          static_cast<DWORD>(bufferSize), path.c_str());
  value.resize(std::min<std::size_t>(length, bufferSize - 1));
  return value;
}

// GETINIFILEVALUE and GETMESSAGEFROMID: the whole argument is expanded before it is split,
// so a symbol holding "," or "=" moves the field boundaries.
template <std::size_t kNameAndValueSize>
unsigned GetIniEntry(EngineContext& ctx, ScriptLine& line) {
  std::string expanded;
  if (unsigned rc = ExpandSymbols(ctx, line.argumentText, expanded, kExpandedArgumentSize)) {
    return FailLine(ctx, line, rc);
  }
  IniReadSpec fields;
  if (unsigned rc = ParseIniReadSpec(expanded, kNameAndValueSize, fields)) {
    return FailLine(ctx, line, rc);
  }
  std::string path = fields.fileName;
  if (!SearchFile(ctx.workDir, path, kIniFieldSize)) return FailLine(ctx, line, kErrIniNotFound);
  std::string value = ReadProfileText(fields, path, kNameAndValueSize);
  return FailLine(ctx, line, SetSymbol(ctx.symbols, fields.symbolName, value));
}

// Every failure answers "FALSE" and nothing is reported. Without a symbol name (no "="
// in the expanded text, or an expansion that failed before reaching the "=") there is no
// symbol to answer in: the code is returned unreported, as FINDREGVALUE does, so the
// section ends instead of running on with its result unset.
unsigned FindIniFileValue(EngineContext& ctx, ScriptLine& line) {
  std::string expanded;
  // On failure `expanded` keeps the text before the missing symbol: a name before it is
  // whole.
  unsigned expandStatus = ExpandSymbols(ctx, line.argumentText, expanded, kExpandedArgumentSize);
  std::string name, ignored;
  if (SplitNameValue(expanded, kIniFieldSize, std::numeric_limits<std::size_t>::max(), name,
                     ignored) != 0) {
    return expandStatus != 0 ? expandStatus : kErrNowhereToPut;
  }
  bool found = false;
  IniReadSpec fields;
  if (expandStatus == 0 && ParseIniReadSpec(expanded, kIniFieldSize, fields) == 0) {
    std::string path = fields.fileName;
    found = SearchFile(ctx.workDir, path, kIniFieldSize) &&
            !ReadProfileText(fields, path, kIniFieldSize).empty();
  }
  return SetSymbol(ctx.symbols, name, found ? "TRUE" : "FALSE");
}

// A write the profile function refuses (a read-only file, for one) fails the line with 19
// rather than letting the script go on as if the entry were there.
unsigned SetIniFileValue(EngineContext& ctx, ScriptLine& line) {
  IniWriteSpec fields;
  if (unsigned rc = ParseIniWriteSpec(line.argumentText, fields)) return FailLine(ctx, line, rc);
  std::string value, path;
  unsigned rc = ExpandForAction(ctx, fields.value, value, kIniFieldSize);
  if (rc == 0) rc = ExpandForAction(ctx, fields.fileName, path, kIniFieldSize);
  if (rc != 0) return FailLine(ctx, line, rc);
  if (!SearchFile(ctx.workDir, path, kIniFieldSize)) return FailLine(ctx, line, kErrIniNotFound);
  if (!WritePrivateProfileStringA(fields.section.c_str(), fields.key.c_str(), value.c_str(),
                                  path.c_str())) {
    return FailLine(ctx, line, kErrIniWrite);
  }
  return 0;
}

unsigned DeleteIniFileSection(EngineContext& ctx, ScriptLine& line) {
  std::string fileName, section, path;
  if (unsigned rc = ParseIniSectionSpec(line.argumentText, fileName, section)) {
    return FailLine(ctx, line, rc);
  }
  if (unsigned rc = ExpandForAction(ctx, fileName, path, kIniFieldSize)) {
    return FailLine(ctx, line, rc);
  }
  TrimText(path);
  if (!SearchFile(ctx.workDir, path, kIniFieldSize)) return FailLine(ctx, line, kErrIniNotFound);
  return FailLine(ctx, line, ClearIniSection(section, path));
}
}  // namespace

void RegisterIniCommands(HandlerTable& table) {
  table.Add(kCmdGetIniFileValue, GetIniEntry<kIniFieldSize>);
  table.Add(kCmdSetIniFileValue, SetIniFileValue);
  table.Add(kCmdDeleteIniFileSection, DeleteIniFileSection);
  table.Add(kCmdFindIniFileValue, FindIniFileValue);
  table.Add(kCmdGetMessageFromId, GetIniEntry<kIniMessageSize>);
}

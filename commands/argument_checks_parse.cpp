#include "commands/argument_checks.h"

#include <cstddef>
#include <limits>
#include <string>

#include "commands/files/file_copy_parse.h"
#include "commands/files/path_form_parse.h"
#include "commands/interaction/agent_arguments_parse.h"
#include "commands/interaction/install_cab_parse.h"
#include "commands/interaction/start_menu_parse.h"
#include "commands/registry/ini_arguments_parse.h"
#include "commands/registry/registry_path_parse.h"
#include "commands/system/process_name_parse.h"
#include "commands/system/program_command_parse.h"
#include "commands/system/service_arguments_parse.h"
#include "commands/system/system_info_parse.h"
#include "engine/command_ids.h"
#include "engine/control_flow.h"
#include "engine/errors.h"
#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kNameBound = 260;
constexpr std::size_t kNoBound = std::numeric_limits<std::size_t>::max();

// Commands that expand their whole argument before taking it apart: a symbol's value may
// bring the very separators the form needs, so a text holding a reference is left to the
// run (the WhatIf run checks it expanded).
bool HoldsReference(std::string_view text) { return FindText(text, "%%") != std::string_view::npos; }

template <ArgumentCheckFn check>
unsigned ExpandedFirst(std::string_view text) {
  return HoldsReference(text) ? 0u : check(text);
}

// "name=value" with the bounds its handler gives both parts; `failure` replaces the
// split's own code (23 or 25) for handlers that fail every split with one code.
template <std::size_t valueBound, unsigned failure = 0, std::size_t nameBound = kNameBound>
unsigned NameValue(std::string_view text) {
  std::string name, value;
  unsigned rc = SplitNameValue(text, nameBound, valueBound, name, value);
  return rc != 0 && failure != 0 ? failure : rc;
}

unsigned Call(std::string_view text) {
  std::string result, section;
  bool hasResult = false;
  return SplitCallTarget(text, result, section, hasResult);
}

// CALLIF, GOTOIF, RETURNIF: a condition, a comma, then what follows.
unsigned ConditionFirst(std::string_view text) {
  std::string_view condition, rest;
  return SplitConditionLine(text, condition, rest) ? 0u : unsigned{kErrInvalidSwitch};
}

unsigned CallIf(std::string_view text) {
  std::string_view condition, target;
  if (!SplitConditionLine(text, condition, target)) return kErrInvalidSwitch;
  return Call(target);
}

unsigned KeyTest(std::string_view text) {
  KeyTestSpec fields;
  return ParseKeyTestSpec(text, fields);
}

unsigned EmptyKeyTest(std::string_view text) {
  KeyTestSpec fields;
  return ParseEmptyKeyTestSpec(text, fields);
}

unsigned ValueRead(std::string_view text) {
  ValueReadSpec fields;
  return ParseValueReadSpec(text, fields);
}

// A number is checked only where the script wrote it; a symbol's value is known at run time.
unsigned ValueWrite(std::string_view text) {
  ValueWriteSpec fields;
  if (unsigned rc = ParseValueWriteSpec(text, fields)) return rc;
  std::uint32_t number = 0;
  if (fields.type == kRegistryTypeDword && !HoldsReference(fields.data) &&
      !DwordFromText(fields.data, number)) {
    return kErrRegValueInvalid;
  }
  return 0;
}

unsigned NewKey(std::string_view text) {
  NewKeySpec fields;
  return ParseNewKeySpec(text, fields);
}

unsigned DeleteValue(std::string_view text) {
  std::string keyPath, valueName;
  if (unsigned rc = SplitPathAndName(text, keyPath, valueName)) return rc;
  RegistryRoot root;
  return ParseRootPrefix(keyPath, root);
}

unsigned DeleteKey(std::string_view text) {
  RegistryRoot root;
  return ParseRootPrefix(TrimmedCopy(text), root) != 0 ? unsigned{kErrInvalidSwitch} : 0u;
}

unsigned DeleteKeyTree(std::string_view text) {
  const std::string path = TrimmedCopy(text);
  RegistryRoot root;
  if (unsigned rc = ParseRootPrefix(path, root)) return rc;
  return NamesRootItself(std::string(SubKeyOf(path))) ? unsigned{kErrInvalidSwitch} : 0u;
}

template <std::size_t nameSize>
unsigned IniRead(std::string_view text) {
  IniReadSpec fields;
  return ParseIniReadSpec(text, nameSize, fields);
}

unsigned IniWrite(std::string_view text) {
  IniWriteSpec fields;
  return ParseIniWriteSpec(text, fields);
}

unsigned IniSection(std::string_view text) {
  std::string fileName, section;
  return ParseIniSectionSpec(text, fileName, section);
}

unsigned ListedFile(std::string_view text) {
  ListedFileNames names;
  return SplitListedFile(text, names) ? 0u : unsigned{kErrInvalidSwitch};
}

unsigned SourceTarget(std::string_view text) {
  std::string source, target;
  return SplitSourceTarget(text, source, target) ? 0u : unsigned{kErrInvalidSwitch};
}

unsigned WindowWait(std::string_view text) {
  return ParseWindowWait(text).name.empty() ? unsigned{kErrInvalidSwitch} : 0u;
}

unsigned UserApp(std::string_view text) {
  UserAppArgs args;
  return ParseUserApp(text, args) ? 0u : unsigned{kErrInvalidSwitch};
}

// Whether a program named with blanks exists is known only on the machine that runs the
// line, so every candidate counts as a program here: only the form is checked.
unsigned ServiceDefinitionForm(std::string_view text) {
  ServiceDefinition definition;
  return ParseServiceDefinition(text, definition, [](const std::string&) { return true; });
}

unsigned SystemInfo(std::string_view text) {
  std::string name, item;
  return SplitSystemInfoRequest(text, name, item);
}

unsigned Folder(std::string_view text) {
  return IsTooShortFolder(TrimmedCopy(text)) ? unsigned{kErrInvalidSwitch} : 0u;
}

// A text the handler trims after expanding it and then refuses when nothing is left.
template <unsigned (*take)(std::string&)>
unsigned Taken(std::string_view text) {
  std::string copy(text);
  return take(copy);
}

unsigned Shortcut(std::string_view text) {
  std::string_view name, target;
  return SplitShortcutArgument(text, name, target) ? 0u : unsigned{kErrInvalidSwitch};
}

// The process name is expanded after the split.
unsigned ProcessTest(std::string_view text) {
  std::string symbol, name;
  if (unsigned rc = SplitProcessTest(text, symbol, name)) return rc;
  return HoldsReference(name) ? 0u : TakeProcessName(name);
}

unsigned InstallCab(std::string_view text) {
  std::string symbolName, value;
  if (unsigned rc = SplitInstallCabArgument(text, symbolName, value)) return rc;
  InstallCabFields fields;  // taken apart after the value is expanded
  return HoldsReference(value) ? 0u : SplitInstallCabFields(TrimmedCopy(value), fields);
}

unsigned Progress(std::string_view text) {
  ProgressFields fields = SplitProgressArgument(text);
  return fields.first.empty() || fields.second.empty() ? unsigned{kErrInvalidSwitch} : 0u;
}
}  // namespace

ArgumentCheckFn ArgumentCheckOf(unsigned id) {
  switch (id) {
    case kCmdCall: return Call;
    case kCmdCallIf: return CallIf;
    case kCmdGotoIf:
    case kCmdReturnIf: return ConditionFirst;
    case kCmdSet: return NameValue<kSetValueSize>;
    case kCmdGetParam: return NameValue<1000, 0, 1000>;
    case kCmdFindRegKey: return KeyTest;
    case kCmdIsRegKeyEmpty: return EmptyKeyTest;
    case kCmdGetRegValue:
    case kCmdFindRegValue: return ValueRead;
    case kCmdSetRegValue: return ValueWrite;
    case kCmdCreateRegKey: return NewKey;
    case kCmdDeleteRegValue: return DeleteValue;
    case kCmdDeleteRegKey:
    case kCmdDeleteEmptyRegKey: return DeleteKey;
    case kCmdDeleteRegKeyRecursive: return DeleteKeyTree;
    case kCmdGetIniFileValue: return ExpandedFirst<IniRead<kIniFieldSize>>;
    case kCmdGetMessageFromId: return ExpandedFirst<IniRead<kIniMessageSize>>;
    case kCmdFindIniFileValue: return ExpandedFirst<NameValue<kNoBound, kErrNowhereToPut>>;
    case kCmdSetIniFileValue: return IniWrite;
    case kCmdDeleteIniFileSection: return IniSection;
    case kCmdGetFileVersion: return NameValue<kPathSize, kErrFileVersion>;
    case kCmdFileExists:
    case kCmdIsFileLocked:
    case kCmdIsCurrentFileOlder:
    case kCmdIsAppRunning:
    case kCmdIsServiceRunning: return NameValue<kPathSize>;
    case kCmdConvertToShortPathName: return NameValue<1024>;
    case kCmdGetSpecialDir: return NameValue<kPathSize, kErrInvalidSwitch>;
    case kCmdIsProcessRunning: return ProcessTest;
    case kCmdKillProcess: return ExpandedFirst<Taken<TakeProcessName>>;
    case kCmdGetSystemInfo: return SystemInfo;
    case kCmdIsAdmin: return CheckAdminArgument;
    case kCmdCreateDir:
    case kCmdRemoveDir:
    case kCmdRemoveDirRecursive: return ExpandedFirst<Folder>;
    case kCmdAddStartMenu: return Shortcut;
    case kCmdDeleteOneFile:
    case kCmdCreateSpecialDir: return ExpandedFirst<Taken<TakeActedOnPath>>;
    case kCmdFileCio:
    case kCmdFileCow: return ListedFile;
    case kCmdCopyOneFile: return ExpandedFirst<SourceTarget>;
    case kCmdWaitForWindowClose: return WindowWait;
    case kCmdStartUserApp: return UserApp;
    case kCmdCreateService: return ExpandedFirst<ServiceDefinitionForm>;
    case kCmdYesNo: return NameValue<1024>;
    case kCmdInstallCab: return InstallCab;
    case kCmdProgress: return Progress;
    default: return nullptr;
  }
}

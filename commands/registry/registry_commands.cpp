// The registry commands. Each takes its argument text literally, except SETREGVALUE and
// DELETEREGVALUE, which expand the fields named below (and refuse a cut expansion). Missing keys and values are never
// errors (apart from SETREGVALUE's missing key); none of these commands logs on its own.
#include <shlwapi.h>
#include <windows.h>

#include <cstring>

#include "commands/registry/registry_families.h"
#include "commands/registry/registry_keys.h"
#include "commands/registry/registry_path_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kExpandedFieldSize = 1000;  // SETREGVALUE: each field may grow to 999
constexpr DWORD kValueBufferSize = 260;           // what a value read offers

const char* TrueFalse(bool yes) { return yes ? "TRUE" : "FALSE"; }

std::string SubKeyText(std::string_view keyPath) { return std::string(SubKeyOf(keyPath)); }

struct ValueBytes {
  DWORD type = REG_NONE;
  std::string bytes;  // zero-filled to the buffer size past what was read

  // The data up to its first zero byte.
  std::string_view Text() const {
    std::string_view all(bytes.data(), bytes.size());
    return all.substr(0, all.find('\0'));
  }
};

// Reads a value offering 260 bytes: false when it is missing or its data is larger.
bool ReadValue(HKEY key, const std::string& name, ValueBytes& value) {
  value.bytes.assign(kValueBufferSize, '\0');
  DWORD size = kValueBufferSize;
  return RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                          reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS;
}

// GETREGVALUE's text of a value read: a REG_DWORD as signed decimal; anything else as
// the text up to its first zero byte. A text that needs all 260 bytes (no terminating
// zero in the buffer) did not fit, and is treated like data that was too large to read:
// it yields the empty text rather than a cut one.
std::string ValueAsText(const ValueBytes& value) {
  if (value.type == REG_DWORD) {
    std::uint32_t number = 0;
    std::memcpy(&number, value.bytes.data(), sizeof number);  // little-endian, as stored
    return DwordToText(number);
  }
  std::string_view text = value.Text();
  return text.size() < kValueBufferSize ? std::string(text) : std::string();
}

unsigned FindRegKey(EngineContext& ctx, ScriptLine& line) {
  KeyTestSpec fields;
  if (unsigned rc = ParseKeyTestSpec(line.argumentText, fields)) return FailLine(ctx, line, rc);
  bool exists = static_cast<bool>(
      OpenKey(RootKeyHandle(fields.root), SubKeyText(fields.keyPath), kAccessRead));
  return FailLine(ctx, line, SetSymbol(ctx.symbols, fields.symbolName, TrueFalse(exists)));
}

// Data longer than 259 bytes gives the empty text (see ValueAsText), as a missing value
// does; FINDREGVALUE answers "FALSE" for it alike.
unsigned GetRegValue(EngineContext& ctx, ScriptLine& line) {
  ValueReadSpec fields;
  if (unsigned rc = ParseValueReadSpec(line.argumentText, fields)) return FailLine(ctx, line, rc);
  SetSymbol(ctx.symbols, fields.symbolName, "");
  std::string text;
  {
    OpenedKey key = OpenKey(RootKeyHandle(fields.root), fields.subKey, kAccessRead);
    if (!key) return 0;
    ValueBytes value;
    if (ReadValue(key.Get(), fields.valueName, value)) text = ValueAsText(value);
  }
  return FailLine(ctx, line, SetSymbol(ctx.symbols, fields.symbolName, text));
}

// The bytes RegSetValueExA stores: a string with its terminating zero, or a number as
// four little-endian bytes. A number text outside 32 bits is refused with 17.
unsigned EncodeData(const std::string& data, std::uint32_t type, std::string& bytes) {
  if (type == kRegistryTypeDword) {
    std::uint32_t number = 0;
    if (!DwordFromText(data, number)) return kErrRegValueInvalid;
    bytes.assign(reinterpret_cast<const char*>(&number), sizeof number);
  } else {
    bytes.assign(data.c_str(), data.size() + 1);
  }
  return 0;
}

unsigned SetRegValue(EngineContext& ctx, ScriptLine& line) {
  ValueWriteSpec fields;
  if (unsigned rc = ParseValueWriteSpec(line.argumentText, fields)) return FailLine(ctx, line, rc);
  // The root and the type tag were taken before expansion: no symbol can supply them.
  std::string data, valueName, subKey, bytes;
  unsigned rc = ExpandForAction(ctx, fields.data, data, kExpandedFieldSize);
  if (rc == 0) rc = ExpandForAction(ctx, fields.valueName, valueName, kExpandedFieldSize);
  if (rc == 0) rc = ExpandForAction(ctx, fields.subKey, subKey, kExpandedFieldSize);
  if (rc == 0) rc = EncodeData(data, fields.type, bytes);
  if (rc != 0) return FailLine(ctx, line, rc);

  HKEY root = RootKeyHandle(fields.root);
  OpenedKey key = OpenKey(root, subKey, kAccessReadWrite);
  if (!key) {
    // A key that exists but may not be written is passed over without a word.
    return OpenKey(root, subKey, kAccessRead) ? 0 : FailLine(ctx, line, kErrRegOpen);
  }
  if (RegSetValueExA(key.Get(), valueName.c_str(), 0, fields.type,
                     reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
    return FailLine(ctx, line, kErrRegWrite);
  }
  return 0;
}

// CREATEREGKEY ROOT\parent,new key. Without a new key name ("," missing or nothing after
// it) the line fails with 51 and nothing is created: there is no name to create, and a
// silent success would hide the mistake until a later line misses the key.
unsigned CreateRegKey(EngineContext& ctx, ScriptLine& line) {
  NewKeySpec fields;
  if (unsigned rc = ParseNewKeySpec(line.argumentText, fields)) return FailLine(ctx, line, rc);
  OpenedKey parent =
      OpenKey(RootKeyHandle(fields.root), SubKeyText(fields.parentPath), kAccessWrite);
  if (!parent) return 0;
  if (OpenKey(parent.Get(), fields.childName, kAccessWrite)) return 0;
  UniqueRegKey created;  // a failed creation is not reported
  RegCreateKeyA(parent.Get(), fields.childName.c_str(), created.Put());
  return 0;
}

unsigned DeleteRegValue(EngineContext& ctx, ScriptLine& line) {
  std::string keyPath, valueName;
  if (unsigned rc = SplitPathAndName(line.argumentText, keyPath, valueName)) {
    return FailLine(ctx, line, rc);
  }
  RegistryRoot root;
  if (unsigned rc = ParseRootPrefix(keyPath, root)) return FailLine(ctx, line, rc);
  OpenedKey key = OpenKey(RootKeyHandle(root), TrimmedCopy(SubKeyOf(keyPath)), kAccessWrite);
  if (!key) return 0;
  std::string expandedName;
  if (unsigned rc = ExpandForAction(ctx, valueName, expandedName, kRegistryFieldSize)) {
    return FailLine(ctx, line, rc);
  }
  RegDeleteValueA(key.Get(), expandedName.c_str());  // a missing value is no error
  return 0;
}

// DELETEREGKEY and DELETEEMPTYREGKEY: a bad root is a syntax error (51); the outcome of
// the deletion itself is not reported.
template <LONG (*Delete)(HKEY, const std::string&)>
unsigned DeleteKeyCommand(EngineContext& ctx, ScriptLine& line) {
  std::string path = TrimmedCopy(line.argumentText);
  RegistryRoot root;
  if (ParseRootPrefix(path, root) != 0) return FailLine(ctx, line, kErrInvalidSwitch);
  Delete(RootKeyHandle(root), SubKeyText(path));
  return 0;
}

// Refused by the registry when the key has sub-keys (on the NT family).
LONG DeleteKeyWithoutSubKeys(HKEY root, const std::string& subKey) {
  return RegDeleteKeyA(root, subKey.c_str());
}

// Deletes the key only when it has neither sub-keys nor values.
LONG DeleteEmptyKey(HKEY root, const std::string& subKey) {
  return static_cast<LONG>(SHDeleteEmptyKeyA(root, subKey.c_str()));
}

// A key that holds values but no sub-keys counts as empty; so does a key that cannot be
// opened.
unsigned IsRegKeyEmpty(EngineContext& ctx, ScriptLine& line) {
  KeyTestSpec fields;
  if (unsigned rc = ParseEmptyKeyTestSpec(line.argumentText, fields)) {
    return FailLine(ctx, line, rc);
  }
  bool empty = true;
  {
    OpenedKey key = OpenKeyMaximumAccess(RootKeyHandle(fields.root), SubKeyText(fields.keyPath));
    DWORD subKeys = 0;
    if (key && RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
      empty = subKeys == 0;
    }
  }
  return FailLine(ctx, line, SetSymbol(ctx.symbols, fields.symbolName, TrueFalse(empty)));
}

// A path naming a root alone ("HKLM\") is refused with 51: walking it would empty the
// whole root as far as the account's rights reach.
unsigned DeleteRegKeyRecursive(EngineContext& ctx, ScriptLine& line) {
  std::string path = TrimmedCopy(line.argumentText);
  RegistryRoot root;
  if (unsigned rc = ParseRootPrefix(path, root)) return FailLine(ctx, line, rc);
  std::string subKey = SubKeyText(path);
  if (NamesRootItself(subKey)) return FailLine(ctx, line, kErrInvalidSwitch);
  DeleteKeyTree(RootKeyHandle(root), subKey);
  return 0;
}

// Errors are returned without a report: the section ends, no error line is written.
unsigned FindRegValue(EngineContext& ctx, ScriptLine& line) {
  ValueReadSpec fields;
  if (unsigned rc = ParseValueReadSpec(line.argumentText, fields)) return rc;
  bool found = false;
  {
    OpenedKey key = OpenKey(RootKeyHandle(fields.root), fields.subKey, kAccessRead);
    ValueBytes value;
    if (key && ReadValue(key.Get(), fields.valueName, value)) {
      found = !(value.type == REG_SZ && value.Text().empty());
    }
  }
  return SetSymbol(ctx.symbols, fields.symbolName, TrueFalse(found));
}
}  // namespace

void RegisterRegistryCommands(HandlerTable& table) {
  table.Add(kCmdFindRegKey, FindRegKey);
  table.Add(kCmdGetRegValue, GetRegValue);
  table.Add(kCmdSetRegValue, SetRegValue);
  table.Add(kCmdCreateRegKey, CreateRegKey);
  table.Add(kCmdDeleteRegValue, DeleteRegValue);
  table.Add(kCmdDeleteRegKey, DeleteKeyCommand<DeleteKeyWithoutSubKeys>);
  table.Add(kCmdDeleteEmptyRegKey, DeleteKeyCommand<DeleteEmptyKey>);
  table.Add(kCmdIsRegKeyEmpty, IsRegKeyEmpty);
  table.Add(kCmdDeleteRegKeyRecursive, DeleteRegKeyRecursive);
  table.Add(kCmdFindRegValue, FindRegValue);
}

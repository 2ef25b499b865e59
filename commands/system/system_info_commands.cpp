// The system information commands: each stores what it finds in a symbol the script names
// (WAITFORTIME only waits). Missing information gives an empty text or "N/A"; only the
// Windows directory and the product type can make a command fail.
#include "commands/system/system_info_commands.h"

#include <objbase.h>
#include <rpc.h>
#include <shlobj.h>
#include <windows.h>

#include <cctype>
#include <ctime>

#include "commands/interaction/message_waits.h"
#include "commands/interaction/wait_limit_parse.h"
#include "commands/system/system_info_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/windows_family.h"

namespace {
constexpr std::size_t kNameSize = 260;
constexpr DWORD kValueSize = 260;
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// An item list the shell allocated, freed with the shell's allocator.
class ShellItems {
 public:
  explicit ShellItems(IMalloc* allocator) : allocator_(allocator) {}
  ~ShellItems() {
    if (items_) allocator_->Free(items_);
  }
  ShellItems(const ShellItems&) = delete;
  ShellItems& operator=(const ShellItems&) = delete;
  LPITEMIDLIST* Put() { return &items_; }
  LPITEMIDLIST Get() const { return items_; }

 private:
  IMalloc* allocator_;
  LPITEMIDLIST items_ = nullptr;
};

// The version record; zero-filled (platform 0) when the query fails.
OSVERSIONINFOA VersionRecord() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) info = OSVERSIONINFOA{};
  return info;
}

// A string value that fits 260 bytes with its zero, or the empty text (never a cut path).
// `found` tells a missing value from an empty one.
std::string ReadText(HKEY key, const char* name, bool* found = nullptr) {
  if (found) *found = false;
  std::string data(kValueSize, '\0');
  DWORD type = REG_NONE, size = kValueSize;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return "";
  }
  if (found) *found = true;
  std::size_t end = data.find('\0');  // none: all 260 bytes are text, which does not fit
  return end == std::string::npos ? "" : data.substr(0, end);
}

// The same from a key under HKEY_LOCAL_MACHINE; the empty text when it cannot be opened.
std::string ReadText(const char* subKey, const char* name, REGSAM access) {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, access, key.Put()) != ERROR_SUCCESS) return "";
  return ReadText(key.Get(), name);
}

std::string TrimmedName(const ScriptLine& line) { return TrimmedCopy(line.argumentText); }

// Sets the symbol named by the whole argument; the setting's status is returned unreported.
unsigned StoreUnreported(EngineContext& ctx, ScriptLine& line, const std::string& value) {
  return SetSymbol(ctx.symbols, TrimmedName(line), value);
}

// The path of a shell folder. A shell that cannot give the folder's item list fails the
// lookup; a list without a file-system path succeeds with the empty text.
bool ShellFolderPath(int folder, std::string& path) {
  path.clear();
  ComPtr<IShellLinkA> link;  // needs nothing but COM itself; made as the lookup always was
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.Put())))) {
    return false;
  }
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Put()))) return false;
  ShellItems items(allocator.Get());
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, items.Put())) || !items.Get()) {
    return false;
  }
  std::string buffer(MAX_PATH, '\0');
  if (SHGetPathFromIDListA(items.Get(), buffer.data())) path = buffer.c_str();
  return true;
}

std::string SpecialFolderPath(const EngineContext& ctx, const SpecialFolder& row) {
  switch (row.source) {
    case FolderSource::Temp:
      return TempFolder();
    case FolderSource::Windows:
      return WindowsFolder();
    case FolderSource::ScriptFolder:
      return ctx.scriptDir;
    case FolderSource::CommonFilesValue:
      return ReadText(kCurrentVersionKey, "CommonFilesDir", KEY_READ);
    case FolderSource::Shell: {
      std::string path;
      if (ShellFolderPath(IsNtFamily() ? row.ntFolder : row.win9xFolder, path)) return path;
      if (row.ntFolder != kProgramFilesFolder) return "";
      return ReadText(kCurrentVersionKey, "ProgramFilesDir", KEY_QUERY_VALUE);
    }
    case FolderSource::None:
      break;
  }
  return "";
}

unsigned GetOsType(EngineContext& ctx, ScriptLine& line) {
  OSVERSIONINFOA version = VersionRecord();
  std::string value;
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    value = "WIN32_9X";
  } else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    const char* options = "System\\CurrentControlSet\\Control\\ProductOptions";
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, options, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
      return kErrRegOpen;
    }
    bool found = false;
    std::string product = ReadText(key.Get(), "ProductType", &found);
    if (found) {
      value = NtTypeOfProduct(product);
      if (value.empty()) return kErrRegValueInvalid;
    }
  } else {
    return kErrRegValueInvalid;
  }
  return StoreUnreported(ctx, line, value);
}

unsigned GetOsVersion(EngineContext& ctx, ScriptLine& line) {
  OSVERSIONINFOA version = VersionRecord();
  return StoreUnreported(ctx, line, VersionText(version.dwMajorVersion, version.dwMinorVersion));
}

unsigned GetWindowsDir(EngineContext& ctx, ScriptLine& line) {
  std::string folder = WindowsFolder();
  if (folder.empty()) return FailLine(ctx, line, kErrWindowsDir);
  return StoreUnreported(ctx, line, folder);
}

unsigned GetSpecialDir(EngineContext& ctx, ScriptLine& line) {
  std::string name, keyword;
  if (SplitNameValue(line.argumentText, kNameSize, kNameSize, name, keyword) != 0) {
    return FailLine(ctx, line, kErrInvalidSwitch);
  }
  std::string path = WithoutTrailingBackslash(SpecialFolderPath(ctx, FindSpecialFolder(keyword)));
  return SetSymbol(ctx.symbols, name, path);
}

// A 64-bit x86 processor reads as the Intel family, as it does to every 32-bit program.
unsigned GetProcessorType(EngineContext& ctx, ScriptLine& line) {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  const char* type = "PROCESSOR_UNKNOWN";
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
    case PROCESSOR_ARCHITECTURE_AMD64:
      type = "PROCESSOR_INTEL";
      break;
    case PROCESSOR_ARCHITECTURE_MIPS:
      type = "PROCESSOR_MIPS";
      break;
    case PROCESSOR_ARCHITECTURE_ALPHA:
      type = "PROCESSOR_ALPHA";
      break;
    case PROCESSOR_ARCHITECTURE_PPC:
      type = "PROCESSOR_PPC";
      break;
  }
  return StoreUnreported(ctx, line, type);
}

// The argument is a number, or the name of a symbol holding one. Every wait is logged with
// its length, so a mistyped number cannot hold the run without a trace.
unsigned WaitForTime(EngineContext& ctx, ScriptLine& line) {
  std::string text = TrimmedName(line);
  std::string value;
  if (GetSymbol(ctx.symbols, text, value, kNameSize) == 0) text = value;
  // No limit would be a wait for ever: a negative number returns at once, as 0 does.
  const WaitLimit limit = ReadWaitLimit(text);
  if (limit.unlimited || limit.ms == 0) return 0;
  LogStatus("Waiting %lu ms", static_cast<unsigned long>(limit.ms));
  SleepWithMessages(limit.ms);
  return 0;
}

// Only an administrator may open the service manager with all access.
unsigned IsAdmin(EngineContext& ctx, ScriptLine& line) {
  if (unsigned rc = CheckAdminArgument(line.argumentText)) return FailLine(ctx, line, rc);
  bool admin = !IsNtFamily() || static_cast<bool>(UniqueServiceHandle(
                                    OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)));
  return FailLine(ctx, line, SetSymbol(ctx.symbols, line.argumentText, admin ? "TRUE" : "FALSE"));
}

unsigned GetOrqexVersion(EngineContext& ctx, ScriptLine& line) {
  return FailLine(ctx, line, StoreUnreported(ctx, line, "1.3"));
}

// A symbol that cannot be set fails the line with its code.
unsigned GetTimestamp(EngineContext& ctx, ScriptLine& line) {
  std::string expanded;
  ExpandSymbols(ctx, line.argumentText, expanded, kNameSize);
  TimestampRequest request = ParseTimestampRequest(expanded);
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  bool known = request.universal ? gmtime_s(&parts, &now) == 0 : localtime_s(&parts, &now) == 0;
  return FailLine(ctx, line,
                  SetSymbol(ctx.symbols, request.symbolName, known ? TimestampText(parts) : ""));
}

unsigned GetSystemInfoCommand(EngineContext& ctx, ScriptLine& line) {
  std::string name, item;
  if (unsigned rc = SplitSystemInfoRequest(line.argumentText, name, item)) {
    return FailLine(ctx, line, rc);
  }
  return SetSymbol(ctx.symbols, name, "");
}

// A new UUID from the RPC run-time, found by name; "N/A" when it is missing or fails.
std::string NewGuidText() {
  using Create = RPC_STATUS(RPC_ENTRY*)(UUID*);
  using ToString = RPC_STATUS(RPC_ENTRY*)(const UUID*, RPC_CSTR*);
  using FreeString = RPC_STATUS(RPC_ENTRY*)(RPC_CSTR*);
  UniqueModule rpc(LoadLibraryA("rpcrt4.dll"));
  if (!rpc) return "N/A";
  auto create = reinterpret_cast<Create>(GetProcAddress(rpc.Get(), "UuidCreate"));
  auto toString = reinterpret_cast<ToString>(GetProcAddress(rpc.Get(), "UuidToStringA"));
  auto freeString = reinterpret_cast<FreeString>(GetProcAddress(rpc.Get(), "RpcStringFreeA"));
  if (!create || !toString || !freeString) return "N/A";
  UUID uuid{};
  RPC_STATUS created = create(&uuid);
  if (created != RPC_S_OK && created != RPC_S_UUID_LOCAL_ONLY) return "N/A";
  RPC_CSTR text = nullptr;
  if (toString(&uuid, &text) != RPC_S_OK || !text) return "N/A";
  std::string guid(reinterpret_cast<const char*>(text));
  freeString(&text);
  for (char& c : guid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return guid;
}

unsigned GenerateGuid(EngineContext& ctx, ScriptLine& line) {
  return FailLine(ctx, line, StoreUnreported(ctx, line, NewGuidText()));
}
}  // namespace

void RegisterSystemInfoCommands(HandlerTable& table) {
  table.Add(kCmdGetOsType, GetOsType);
  table.Add(kCmdGetOsVersion, GetOsVersion);
  table.Add(kCmdGetWindowsDir, GetWindowsDir);
  table.Add(kCmdGetSpecialDir, GetSpecialDir);
  table.Add(kCmdGetProcessorType, GetProcessorType);
  table.Add(kCmdWaitForTime, WaitForTime);
  table.Add(kCmdIsAdmin, IsAdmin);
  table.Add(kCmdGetOrqexVersion, GetOrqexVersion);
  table.Add(kCmdGetTimestamp, GetTimestamp);
  table.Add(kCmdGetSystemInfo, GetSystemInfoCommand);
  table.Add(kCmdGenerateGuid, GenerateGuid);
}

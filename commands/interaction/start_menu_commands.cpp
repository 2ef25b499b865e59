// ADDSTARTMENU and GETSTARTMENUDIR: the common start menu on the NT family, the
// user's on the 95/98/Me family.
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include "commands/interaction/restart_families.h"
#include "commands/interaction/start_menu_parse.h"
#include "commands/interaction/start_menu_shortcut.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "support/windows_family.h"
#include "support/wide_text.h"

namespace {
// An item list from the shell, freed with the shell's allocator.
struct ItemList {
  ~ItemList() {
    if (items) CoTaskMemFree(items);
  }
  LPITEMIDLIST items = nullptr;
};

// ADDSTARTMENU name,target. Both parts are expanded whole (a path up to 259
// bytes): a shortcut to a cut target would point at another file, so a part
// that does not fit fails the line and no shortcut is made.
unsigned AddStartMenu(EngineContext& ctx, ScriptLine& line) {
  std::string_view nameText, targetText;
  if (!SplitShortcutArgument(line.argumentText, nameText, targetText)) {
    return FailLine(ctx, line, kErrInvalidSwitch);
  }
  std::string name, target;
  unsigned status = ExpandForAction(ctx, nameText, name, kPathSize);
  if (status == 0) status = ExpandForAction(ctx, targetText, target, kPathSize);
  if (status != 0) {
    LogStatus(
        "ADDSTARTMENU: the shortcut's name or target does not fit; no "
        "shortcut made");
    return FailLine(ctx, line, status);
  }
  TrimText(name);
  TrimText(target);
  CreateStartMenuShortcut(target, name);
  return 0;
}

unsigned GetStartMenuDir(EngineContext& ctx, ScriptLine& line) {
  const std::string symbolName = TrimmedCopy(line.argumentText);
  std::string folder;
  if (!StartMenuFolder(folder)) return 0;
  return FailLine(ctx, line, SetSymbol(ctx.symbols, symbolName, folder));
}
}  // namespace

bool StartMenuFolder(std::string& folder) {
  ItemList list;
  const int id = IsNtFamily() ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU;  // 22 : 11
  if (FAILED(SHGetSpecialFolderLocation(nullptr, id, &list.items)) || !list.items) return false;
  std::string path(MAX_PATH, '\0');
  if (!SHGetPathFromIDListA(list.items, path.data())) return false;
  path.resize(path.find('\0'));
  folder = path;
  return !folder.empty();
}

bool CreateStartMenuShortcut(const std::string& target, const std::string& name) {
  std::string linkPath;
  bool saved = false;
  std::string folder;
  if (StartMenuFolder(folder)) {
    linkPath = folder + "\\" + name + ".lnk";
    if (linkPath.size() >= kPathSize) {
      LogStatus("ADDSTARTMENU: the shortcut's path is too long: %s", linkPath.c_str());
      linkPath.clear();
    }
  }
  ComPtr<IShellLinkA> link;
  if (!linkPath.empty() &&
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(link.Put())))) {
    link->SetPath(target.c_str());
    link->SetDescription(name.c_str());
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
      saved = SUCCEEDED(file->Save(WideFromAnsi(linkPath).c_str(), TRUE));
    }
  }
  SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA, linkPath.c_str(), nullptr);
  return saved;
}

void RegisterStartMenuCommands(HandlerTable& table) {
  table.Add(kCmdAddStartMenu, AddStartMenu);
  table.Add(kCmdGetStartMenuDir, GetStartMenuDir);
}

#include <windows.h>
// after windows.h
#include <objidl.h>
#include <shlobj.h>

#include <atomic>
#include <thread>
#include <vector>

#include "commands/interaction/restart_request.h"
#include "engine/host_values.h"
#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {

class InteractionTest : public ScriptTest {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }  // shell links are COM objects
};

TEST_F(InteractionTest, RebootFlagsGoToTheirFilesUnderTheWindowsFolder) {
  const std::string tevlin = WindowsFolder() + "\\Tevlin", reboot = tevlin + "\\Agent\\Reboot.ini";
  const std::string pendra = WindowsFolder() + "\\pendrainst.ini";
  RemoveFolderTree(tevlin);
  DeleteFileA(pendra.c_str());
  ASSERT_EQ(Run({"SETREBOOTFLAG other"}), 0u);  // without the folder: nowhere, no failure
  EXPECT_FALSE(FileExists(reboot));
  CreateDirectoryA(tevlin.c_str(), nullptr);
  CreateDirectoryA((tevlin + "\\Agent").c_str(), nullptr);
  ASSERT_EQ(Run({"SETREBOOTFLAG REINSTALL_ENGINE", "SETREBOOTFLAG reinstall",
                 "SETREBOOTFLAG %%NotExpanded%%"}),
            0u);
  const std::pair<std::string, const char*> flags[] = {
      {pendra, "REINSTALL_ENGINE"}, {pendra, "reinstall"}, {reboot, "reinstall"},
      {reboot, "%%NotExpanded%%"}};
  std::string seen;
  for (const auto& [file, name] : flags) seen += IniEntry(file, "Reboot", name) + "|";
  EXPECT_EQ(seen, "1|<none>|1|1|");
  DeleteFileA(pendra.c_str());
  RemoveFolderTree(tevlin);
}

// What the seam saw: the route and whether the shutdown privilege was enabled then.
std::vector<std::pair<RestartRoute, bool>> g_restarts;

// Disables the shutdown privilege and tells whether it was enabled.
bool DisableShutdownPrivilege() {
  UniqueKernelHandle token;
  OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put());
  TOKEN_PRIVILEGES privileges{1, {}}, previous{};
  LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  DWORD size = sizeof previous;
  return AdjustTokenPrivileges(token.Get(), FALSE, &privileges, size, &previous, &size) &&
         previous.PrivilegeCount == 1 && (previous.Privileges[0].Attributes & SE_PRIVILEGE_ENABLED);
}

TEST_F(InteractionTest, PromptRebootRestartsOnlyOnYesOrWhenQuiet) {
  // {quiet, pressed in the question box (0: no box expected)}
  const std::pair<bool, int> cases[] = {{false, IDNO}, {false, IDYES}, {true, 0}};
  RestartStarter previous = SetRestartStarter([](RestartRoute route) {
    g_restarts.push_back({route, DisableShutdownPrivilege()});
  });
  for (const auto& [quiet, answer] : cases) {
    SCOPED_TRACE(answer);
    g_restarts.clear();
    DisableShutdownPrivilege();
    TheHostValues().quietMode = quiet;
    std::atomic<bool> boxSeen{false};
    std::thread presser([&] {
      for (int tries = 0; tries < 1000 && answer && !boxSeen; ++tries, Sleep(10)) {
        if (HWND box = FindWindowA("#32770", "Calvane Pendra")) {
          boxSeen = true;
          PostMessageA(box, WM_COMMAND, answer, 0);
        }
      }
    });
    EXPECT_EQ(Run({"SET Q=Restart now?", "PROMPTREBOOT %%Q%%"}), 0u);
    presser.join();
    EXPECT_EQ(boxSeen.load(), answer != 0);
    using Seen = std::vector<std::pair<RestartRoute, bool>>;  // restarted with the privilege
    EXPECT_EQ(g_restarts, (answer == IDNO ? Seen{} : Seen{{RestartRoute::NtShutdown, true}}));
  }
  TheHostValues().quietMode = false;
  SetRestartStarter(previous);
}

// The shortcut's "target|description" ("|" when it cannot be read).
std::string ReadLink(const std::string& path) {
  ComPtr<IShellLinkA> link;
  ComPtr<IPersistFile> file;
  const std::wstring wide(path.begin(), path.end());
  std::string target(MAX_PATH, '\0'), description(MAX_PATH, '\0');
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(link.Put()))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) &&
      SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
    link->GetPath(target.data(), MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetDescription(description.data(), MAX_PATH);
  }
  return target.c_str() + std::string("|") + description.c_str();
}

TEST_F(InteractionTest, StartMenuShortcutsPointAtTheWholeTarget) {
  const std::string menu = ShellFolder(CSIDL_COMMON_STARTMENU);
  ASSERT_FALSE(menu.empty());
  const std::string longTarget = "C:\\" + std::string(200, 't') + "\\upd.exe";  // kept whole
  ASSERT_EQ(Run({"ADDSTARTMENU Updater,C:\\Tools\\upd.exe", "SET T=" + longTarget,
                 "ADDSTARTMENU OrqLong , %%T%% ", "GETSTARTMENUDIR Dir"}),
            0u)
      << Log();
  EXPECT_EQ(Symbol("Dir"), menu);
  const std::pair<std::string, std::string> links[] = {{"Updater", "C:\\Tools\\upd.exe"},
                                                       {"OrqLong", longTarget}};
  for (const auto& [name, target] : links) {
    EXPECT_EQ(ReadLink(menu + "\\" + name + ".lnk"), target + "|" + name);
    DeleteFileA((menu + "\\" + name + ".lnk").c_str());
  }
  // A target that does not fit is refused whole: no shortcut to another file.
  ExpectFailures({{"ADDSTARTMENU NoComma", 51},
                  {"SET T=" + std::string(300, 'x') + "\r\nADDSTARTMENU OrqCut,%%T%%", 59}});
  EXPECT_FALSE(FileExists(menu + "\\OrqCut.lnk"));
}

// On the 95/98/Me family (a copy the prefix presents as Windows 98) the user's start menu.
TEST_F(InteractionTest, NineFamilyCopyUsesTheUsersStartMenu) {
  const std::string copy = dir_ + "\\OrqexNine.exe";
  CopyOrqexAsNineEight(copy);
  WriteTextFile(dir_ + "\\nine.Orq",
                "[DefaultInstall]\r\nADDSTARTMENU OrqNine,C:\\nine.exe\r\n"
                "GETSTARTMENUDIR D\r\nSETREGVALUE " +
                    Key() + ",D=%%D%%\r\n");
  PutRegistryValue(HKEY_LOCAL_MACHINE, Sub());
  EXPECT_EQ(RunProgram("\"" + copy + "\" /Script=" + dir_ + "\\nine.Orq /Quiet").exitCode, 0u);
  const std::string menu = ShellFolder(CSIDL_STARTMENU);
  EXPECT_EQ(Value("D"), Sz(menu));
  EXPECT_EQ(ReadLink(menu + "\\OrqNine.lnk"), "C:\\nine.exe|OrqNine");
  DeleteFileA((menu + "\\OrqNine.lnk").c_str());
}
}  // namespace

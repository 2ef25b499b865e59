// Whole runs of copies to which Wine reports another version, against what the shell says.
#include <shlobj.h>

#include <regex>
#include <set>

#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {
using SystemInfo = ScriptTest;

// The folder as the shell reports it (id >= 0), or a fixed answer.
std::string Folder(int id, const std::string& fixed) { return id >= 0 ? ShellFolder(id) : fixed; }

TEST_F(SystemInfo, ReportedVersionsAndFoldersMatchWhatTheSystemSays) {
  const std::string windows = WindowsFolder();
  std::string temp(MAX_PATH + 1, '\0');
  GetTempPathA(MAX_PATH + 1, temp.data());
  PathRemoveBackslashA(temp.data());
  const struct {
    const char* keyword;
    int nt, win9x;  // shell folder ids, or -1 for the fixed answer
    std::string fixed;
  } folders[] = {{"Program_Files", 38, 38, ""},     {"DESKTOP", 16, 16, ""},
                 {"DOCUMENTS", 46, 46, ""},         {"STARTMENU", 11, 11, ""},
                 {"COMMON_STARTMENU", 22, 11, ""},  {"COMMON_STARTMENU_PROGRAMS", 23, 2, ""},
                 {"STARTUP", 7, 7, ""},             {"common_startup", 24, 7, ""},
                 {"TEMP", -1, -1, temp.c_str()},    {"WINDOWS", -1, -1, windows},
                 {"CURRENT_ORQSCRIPT", -1, -1, dir_}, {"COMMONPROGRAM_FILES", 43, 43, ""},
                 {"NOTHING", -1, -1, ""}};
  const std::string ini = dir_ + "\\answers.ini";
  std::string script =
      "[DefaultInstall]\r\nSET S=untouched\r\nGETOSTYPE T\r\nGETOSVERSION V\r\n"
      "ISADMIN A\r\nGETPROCESSORTYPE P\r\nISSERVICERUNNING S=NoSuchOrqService\r\n"
      "DELETESERVICE NoSuchOrqService\r\nGETWINDOWSDIR W\r\n"
      "SETINIFILEVALUE " +
      ini + ",R,All=%%T%% %%V%% %%A%% %%P%% %%S%% %%W%%\r\n";
  for (const auto& folder : folders) {
    script += std::string("GETSPECIALDIR F=") + folder.keyword + "\r\nSETINIFILEVALUE " + ini +
              ",F," + folder.keyword + "=%%F%%\r\n";
  }
  WriteTextFile(dir_ + "\\test.Orq", script);
  const std::pair<std::string, std::string> rows[] = {{"win98", "WIN32_9X 4.10"},
                                                      {"winxp", "WIN32_NTW 5.01"}};
  for (const auto& [version, answer] : rows) {
    SCOPED_TRACE(version);
    const bool nt = version != "win98";
    const std::string exe = dir_ + "\\OrqVer_" + version + ".exe";
    const std::string defaults = "Software\\Wine\\AppDefaults\\OrqVer_" + version + ".exe";
    PutRegistryValue(HKEY_CURRENT_USER, defaults, "Version", Sz(version));
    CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), exe.c_str(), FALSE);
    WriteTextFile(ini, "");  // the INI command writes into an existing file only
    const DWORD code =
        RunProgram(exe + " /Script=" + dir_ + "\\test.Orq /Log=" + dir_ + "\\run.log").exitCode;
    SHDeleteKeyA(HKEY_CURRENT_USER, defaults.c_str());
    ASSERT_EQ(code, 0u) << Log();
    // 9x: TRUE for everyone, no services (the symbol stays, nothing logged).
    EXPECT_EQ(IniEntry(ini, "R", "All"),
              answer + " TRUE PROCESSOR_INTEL " + (nt ? "FALSE " : "untouched ") + windows);
    EXPECT_EQ(Log().find("Could not find service NoSuchOrqService\r\n") != std::string::npos, nt);
    for (const auto& f : folders) {
      EXPECT_EQ(IniEntry(ini, "F", f.keyword), Folder(nt ? f.nt : f.win9x, f.fixed)) << f.keyword;
    }
  }
}

TEST_F(SystemInfo, ProductTypeTellsServerFromWorkstationAndOtherAnswers) {
  const char* options = "System\\CurrentControlSet\\Control\\ProductOptions";
  const StoredValue saved = ReadRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType");
  for (const auto& [product, type] : {std::pair<std::string, std::string>{"WinNT", "WIN32_NTW"},
                                      {"ServerNT", "WIN32_NTS"}, {"lanmannt", "WIN32_NTS"}}) {
    PutRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType", Sz(product));
    ExpectAnswers({{"GETOSTYPE T", type}});
  }
  PutRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType", Sz("Cluster"));
  ExpectFailures({{"GETOSTYPE T", 17}}, false);
  SHDeleteValueA(HKEY_LOCAL_MACHINE, options, "ProductType");
  ExpectAnswers(
      {{"GETOSTYPE T", ""}, {"GETORQEXVERSION V", "1.3"}, {"GETSYSTEMINFO D= DOMAIN_NAME", ""}});
  ExpectFailures({{"GETSPECIALDIR X", 51}, {"GETSYSTEMINFO C", 51}});
  PutRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType", saved);
}

// The clock as GETTIMESTAMP writes it.
std::string Stamp(bool universal) {
  SYSTEMTIME t{};
  universal ? GetSystemTime(&t) : GetLocalTime(&t);
  std::string text(32, '\0');
  text.resize(std::snprintf(text.data(), text.size(), "%04d%02d%02d%02d%02d%02d", t.wYear, t.wMonth,
                            t.wDay, t.wHour, t.wMinute, t.wSecond));
  return text;
}

TEST_F(SystemInfo, TimestampsAndGuids) {
  const std::string before[] = {Stamp(false), Stamp(true)};
  std::vector<std::string> lines = {"SET Name=T3", "SET Zone=gmt", "GETTIMESTAMP T1",
                                    "GETTIMESTAMP T2 = Gmt ", "GETTIMESTAMP %%Name%%=%%Zone%%"};
  for (int i = 0; i < 50; ++i) lines.push_back("GENERATEGUID G" + std::to_string(i));
  ASSERT_EQ(Run(lines), 0u);
  const std::pair<const char*, bool> stamps[] = {{"T1", false}, {"T2", true}, {"T3", true}};
  for (const auto& [name, universal] : stamps) {
    EXPECT_TRUE(Symbol(name) >= before[universal] && Symbol(name) <= Stamp(universal)) << name;
  }
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) seen.insert(Symbol("G" + std::to_string(i)));
  for (const std::string& guid : seen) EXPECT_TRUE(std::regex_match(guid, form)) << guid;
  EXPECT_EQ(seen.size(), 50u);
}
}  // namespace

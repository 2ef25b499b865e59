// The system information commands: whole runs of a copy of the program that Wine shows
// another Windows version, compared with what the shell and the system report to this
// test; and in-process runs read back against the test's own clock and the registry.
#include <shlobj.h>

#include <regex>
#include <set>

#include "support_code/script_test.h"

namespace {
using SystemInfo = ScriptTest;

std::string NoTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string ShellFolder(int folder) {
  std::string path(MAX_PATH, '\0');
  if (FAILED(SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path.data())))
    return "";
  return NoTrailingBackslash(path.c_str());
}

// Runs `program` with the arguments and waits for it; its exit code.
DWORD RunProgram(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0xFFFFFFFF;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(process.Get(), 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.Get(), &code);
  }
  return code;
}

TEST_F(SystemInfo, ReportedVersionsAndFoldersMatchWhatTheSystemSays) {
  const struct {
    const char* keyword;
    int ntFolder, win9xFolder;  // shell folder ids; -1 for the rows below
  } folders[] = {{"Program_Files", 38, 38},
                 {"DESKTOP", 16, 16},
                 {"DOCUMENTS", 46, 46},
                 {"STARTMENU", 11, 11},
                 {"COMMON_STARTMENU", 22, 11},
                 {"COMMON_STARTMENU_PROGRAMS", 23, 2},
                 {"STARTUP", 7, 7},
                 {"common_startup", 24, 7},
                 {"TEMP", -1, -1},
                 {"WINDOWS", -1, -1},
                 {"CURRENT_ORQSCRIPT", -1, -1},
                 {"COMMONPROGRAM_FILES", -1, -1},
                 {"NOTHING", -1, -1}};
  std::string temp(MAX_PATH + 1, '\0'), windows(MAX_PATH, '\0');
  temp.resize(GetTempPathA(MAX_PATH + 1, temp.data()));
  windows.resize(GetWindowsDirectoryA(windows.data(), MAX_PATH));
  StoredValue common = ReadRegistryValue(
      HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir");
  const std::map<std::string, std::string> fixed = {{"TEMP", NoTrailingBackslash(temp)},
                                                    {"WINDOWS", windows},
                                                    {"CURRENT_ORQSCRIPT", dir_},
                                                    {"COMMONPROGRAM_FILES", common.second.c_str()},
                                                    {"NOTHING", ""}};

  const std::string ini = dir_ + "\\answers.ini";
  std::string script =
      "[DefaultInstall]\r\nSET S=untouched\r\nGETOSTYPE T\r\nGETOSVERSION V\r\n"
      "ISADMIN A\r\nGETPROCESSORTYPE P\r\nISSERVICERUNNING S=NoSuchOrqService\r\n"
      "DELETESERVICE NoSuchOrqService\r\nGETWINDOWSDIR W\r\n";
  for (const char* name : {"T", "V", "A", "P", "S", "W"}) {
    script += "SETINIFILEVALUE " + ini + ",R," + name + "=%%" + name + "%%\r\n";
  }
  for (const auto& folder : folders) {
    script += std::string("GETSPECIALDIR F=") + folder.keyword + "\r\nSETINIFILEVALUE " + ini +
              ",F," + folder.keyword + "=%%F%%\r\n";
  }
  WriteTextFile(dir_ + "\\test.Orq", script);

  const struct {
    const char* version;
    std::string type, number, service;
    bool nt;
  } rows[] = {{"win98", "WIN32_9X", "4.10", "untouched", false},
              {"nt40", "WIN32_NTW", "4.00", "FALSE", true},
              {"win2k", "WIN32_NTW", "5.00", "FALSE", true},
              {"winxp", "WIN32_NTW", "5.01", "FALSE", true},
              {"win7", "WIN32_NTW", "6.01", "FALSE", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.version);
    const std::string exe = std::string("OrqVer_") + row.version + ".exe";
    const std::string defaults = "Software\\Wine\\AppDefaults\\" + exe;
    PutRegistryValue(HKEY_CURRENT_USER, defaults, "Version", Sz(row.version));
    ASSERT_TRUE(
        CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), (dir_ + "\\" + exe).c_str(), FALSE));
    WriteTextFile(ini, "");  // the INI command writes into an existing file only
    DeleteFileA((dir_ + "\\run.log").c_str());
    DWORD code =
        RunProgram(dir_ + "\\" + exe, "/Script=" + dir_ + "\\test.Orq /Log=" + dir_ + "\\run.log");
    SHDeleteKeyA(HKEY_CURRENT_USER, defaults.c_str());
    ASSERT_EQ(code, 0u) << Log();
    EXPECT_EQ(IniEntry(ini, "R", "T"), row.type);
    EXPECT_EQ(IniEntry(ini, "R", "V"), row.number);
    EXPECT_EQ(IniEntry(ini, "R", "A"), "TRUE");
    EXPECT_EQ(IniEntry(ini, "R", "P"), "PROCESSOR_INTEL");
    EXPECT_EQ(IniEntry(ini, "R", "S"), row.service);
    EXPECT_EQ(IniEntry(ini, "R", "W"), windows);
    EXPECT_EQ(Log().find("Could not find service") != std::string::npos, row.nt) << Log();
    for (const auto& folder : folders) {
      int id = row.nt ? folder.ntFolder : folder.win9xFolder;
      EXPECT_EQ(IniEntry(ini, "F", folder.keyword),
                id < 0 ? fixed.at(folder.keyword) : ShellFolder(id))
          << folder.keyword;
    }
  }
}

TEST_F(SystemInfo, ProductTypeTellsServerFromWorkstation) {
  const char* options = "System\\CurrentControlSet\\Control\\ProductOptions";
  const StoredValue saved = ReadRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType");
  struct Restore {
    const char* key;
    StoredValue value;
    ~Restore() { PutRegistryValue(HKEY_LOCAL_MACHINE, key, "ProductType", value); }
  } restore{options, saved};
  for (const auto& [product, type] : std::vector<std::pair<std::string, std::string>>{
           {"WinNT", "WIN32_NTW"}, {"ServerNT", "WIN32_NTS"}, {"lanmannt", "WIN32_NTS"}}) {
    PutRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType", Sz(product));
    ExpectAnswers({{"GETOSTYPE T", type}});
  }
  PutRegistryValue(HKEY_LOCAL_MACHINE, options, "ProductType", Sz("Cluster"));
  ExpectFailures({{"GETOSTYPE T", 17}}, false);
  UniqueRegKey key;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, options, 0, KEY_SET_VALUE, key.Put());
  RegDeleteValueA(key.Get(), "ProductType");
  ExpectAnswers({{"GETOSTYPE T", ""}});
}

TEST_F(SystemInfo, SmallAnswersAndRefusals) {
  ExpectAnswers({{"GETORQEXVERSION V", "1.3"},
                 {"GETSPECIALDIR X=nothing", ""},
                 {"GETSYSTEMINFO C=computer_name", ""},
                 {"GETSYSTEMINFO D= DOMAIN_NAME", ""}});
  ExpectFailures({{"GETSPECIALDIR X", 51},
                  {"GETSYSTEMINFO C=USER_NAME", 51},
                  {"GETSYSTEMINFO C", 51},
                  {"ISADMIN", 51}});
}

std::string Stamp(const SYSTEMTIME& t) {
  std::string text(32, '\0');
  text.resize(std::snprintf(text.data(), text.size(), "%04d%02d%02d%02d%02d%02d", t.wYear, t.wMonth,
                            t.wDay, t.wHour, t.wMinute, t.wSecond));
  return text;
}

TEST_F(SystemInfo, TimestampsFallBetweenTheTestsOwnClockReadings) {
  SYSTEMTIME localBefore, utcBefore, localAfter, utcAfter;
  GetLocalTime(&localBefore);
  GetSystemTime(&utcBefore);
  ASSERT_EQ(
      Run({"SET Name=T5", "SET Zone=gmt", "GETTIMESTAMP T1", "GETTIMESTAMP T2=GMT",
           "GETTIMESTAMP T3 = Gmt ", "GETTIMESTAMP T4=LOCAL", "GETTIMESTAMP %%Name%%=%%Zone%%"}),
      0u);
  GetLocalTime(&localAfter);
  GetSystemTime(&utcAfter);
  for (const auto& [name, universal] : std::vector<std::pair<std::string, bool>>{
           {"T1", false}, {"T2", true}, {"T3", true}, {"T4", false}, {"T5", true}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Symbol(name).size(), 14u);
    EXPECT_GE(Symbol(name), Stamp(universal ? utcBefore : localBefore));
    EXPECT_LE(Symbol(name), Stamp(universal ? utcAfter : localAfter));
  }
}

TEST_F(SystemInfo, GuidsAreUpperCaseAndUnique) {
  std::vector<std::string> lines;
  for (int i = 0; i < 50; ++i) lines.push_back("GENERATEGUID G" + std::to_string(i));
  ASSERT_EQ(Run(lines), 0u);
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    std::string guid = Symbol("G" + std::to_string(i));
    EXPECT_TRUE(std::regex_match(guid, form)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 50u);
}

TEST_F(SystemInfo, WaitForTimeWaitsForANumberOrASymbolAndSaysHowLong) {
  const struct {
    std::string argument, logged;  // "" when no wait is logged
    ULONGLONG minMs, maxMs;
  } rows[] = {{"1500", "Waiting 1500 ms", 1500, 3000},
              {"Delay", "Waiting 700 ms", 700, 2000},
              {"abc", "", 0, 300},
              {"-1", "", 0, 300},
              {"-4294967296", "", 0, 300}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.argument);
    ULONGLONG start = GetTickCount64();
    ASSERT_EQ(Run({"SET Delay=700", "WAITFORTIME " + row.argument}), 0u);
    ULONGLONG ms = GetTickCount64() - start;
    EXPECT_GE(ms, row.minMs);
    EXPECT_LE(ms, row.maxMs);
    EXPECT_EQ(Log().find(row.logged.empty() ? "Waiting" : row.logged) != std::string::npos,
              !row.logged.empty())
        << Log();
  }
}
}  // namespace

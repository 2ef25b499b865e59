// Services of the test service program, read back through the service manager and the registry.
#include "support_code/script_test.h"

namespace {
const std::string kLongName(240, 'L');  // its "Description" key path would not fit

UniqueServiceHandle OpenService(const std::string& name, DWORD access = SERVICE_ALL_ACCESS) {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  return UniqueServiceHandle(OpenServiceA(manager.Get(), name.c_str(), access));
}

bool WaitForState(const std::string& name, DWORD state, int tenths = 100) {
  while (ServiceState(name) != state && tenths-- > 0) Sleep(100);
  return ServiceState(name) == state;
}

void MakeService(const std::string& name, const std::string& mode, bool start = false) {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  std::string command = "\"" + TestBinDir() + "\\test_service.exe\" " + mode;
  UniqueServiceHandle service(
      CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                     command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(service) << name << " " << GetLastError();
  ASSERT_TRUE(!start || StartServiceA(service.Get(), 0, nullptr)) << GetLastError();
  ASSERT_TRUE(!start || mode.rfind("slow", 0) == 0 || WaitForState(name, SERVICE_RUNNING));
}

// "program|display name|start type|service type|Description value", and "|account" when asked.
std::string Definition(const std::string& name, bool account = false) {
  std::vector<BYTE> bytes(8192);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(bytes.data());
  DWORD needed = 0;
  UniqueServiceHandle service = OpenService(name, SERVICE_QUERY_CONFIG);
  if (!service || !QueryServiceConfigA(service.Get(), config, 8192, &needed)) return "<none>";
  StoredValue description = ReadRegistryValue(
      HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\" + name, "Description");
  return std::string(config->lpBinaryPathName) + "|" + config->lpDisplayName + "|" +
         std::to_string(config->dwStartType) + "|" + std::to_string(config->dwServiceType) + "|" +
         (description.first == REG_SZ ? description.second.c_str() : "<none>") +
         (account ? "|" + std::string(config->lpServiceStartName) : "");
}

class Services : public ScriptTest {
 protected:
  // The suite's services go before and after each test; a program that does not stop is ended.
  void SetUp() override { ScriptTest::SetUp(), RemoveServices(); }
  void TearDown() override { RemoveServices(), ScriptTest::TearDown(); }
  void RemoveServices() {
    for (const std::string& name :
         std::vector<std::string>{"OrqSvcA", "OrqSvcB", "OrqSvcSlow", "OrqSvcStuck", "OrqSvcC1",
                                  "OrqSvcC2", "OrqSvcC3", "OrqSvcC4", "OrqSvcF",
                                  kLongName}) {
      UniqueServiceHandle service = OpenService(name);
      SERVICE_STATUS_PROCESS status{};
      DWORD size = 0;
      if (!service) continue;
      ControlService(service.Get(), SERVICE_CONTROL_STOP,
                     reinterpret_cast<SERVICE_STATUS*>(&status));
      if (!WaitForState(name, SERVICE_STOPPED, 30) &&
          QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof status, &size)) {
        UniqueKernelHandle program(OpenProcess(PROCESS_TERMINATE, FALSE, status.dwProcessId));
        if (program) TerminateProcess(program.Get(), 1);
      }
      DeleteService(service.Get());
    }
  }
  void Expect(const std::string& line, ULONGLONG minMs, ULONGLONG maxMs, const std::string& logged,
              const std::vector<std::pair<std::string, DWORD>>& states) {
    SCOPED_TRACE(line);
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Run({line}), 0u) << Log();
    ULONGLONG ms = GetTickCount64() - start;
    EXPECT_TRUE(ms >= minMs && ms <= maxMs) << ms;
    std::size_t at = Log().find(" service...");  // messages 77 and 78
    EXPECT_EQ(at == std::string::npos ? "" : Log().substr(at - 8, Log().find('\r', at) - at + 8),
              logged);
    for (const auto& [name, state] : states) EXPECT_EQ(ServiceState(name), state) << name;
  }
};

TEST_F(Services, StopAndStartWaitForWellBehavedSlowAndStopIgnoringServices) {
  MakeService("OrqSvcA", "normal", true);
  MakeService("OrqSvcB", "");
  // 1 s after the stop request, 2 s at the end; B is stopped and left alone.
  Expect("STOPSERVICE OrqSvcA, OrqSvcB", 3000, 9000, "Stopping service...OrqSvcA.",
         {{"OrqSvcA", SERVICE_STOPPED}, {"OrqSvcB", SERVICE_STOPPED}});
  Expect("STARTSERVICE OrqSvcB,,OrqSvcA", 1000, 6000, "Starting service...OrqSvcB.",
         {{"OrqSvcA", SERVICE_STOPPED}, {"OrqSvcB", SERVICE_RUNNING}});
  Expect("STARTSERVICE OrqSvcB", 0, 999, "", {{"OrqSvcB", SERVICE_RUNNING}});
  Expect("STOPSERVICE NoSuchOrqService,OrqSvcA", 0, 999, "", {{"OrqSvcA", SERVICE_STOPPED}});
  // (A missing service is shown with the reported versions in system_info_test.cpp.)
  ExpectAnswers({{"ISSERVICERUNNING R= OrqSvcA", "FALSE"}});
  ExpectFailures({{"ISSERVICERUNNING OrqSvcB", 23}}, false);

  // Start pending for 2.5 s with a wait hint of 0xFFFFFFFF, which a wait holds to 10 s;
  // then 2.5 s stop pending, waited for.
  MakeService("OrqSvcSlow", "slow 2500 4294967295", true);
  ASSERT_EQ(ServiceState("OrqSvcSlow"), static_cast<DWORD>(SERVICE_START_PENDING));
  ExpectAnswers({{"ISSERVICERUNNING R=OrqSvcSlow", "FALSE"}});
  Expect("STOPSERVICE OrqSvcSlow", 12500, 22000, "Stopping service...OrqSvcSlow.",
         {{"OrqSvcSlow", SERVICE_STOPPED}});
  Expect("STARTSERVICE OrqSvcSlow", 2500, 8000, "Starting service...OrqSvcSlow.",
         {{"OrqSvcSlow", SERVICE_RUNNING}});
  // Accepts the stop request and stays stop pending: 1 s, 30 polls of 1 s, 2 s.
  MakeService("OrqSvcStuck", "ignorestop", true);
  Expect("STOPSERVICE OrqSvcStuck", 33000, 40000, "Stopping service...OrqSvcStuck.",
         {{"OrqSvcStuck", SERVICE_STOP_PENDING}});
}

TEST_F(Services, CreatedServicesReadBackFromTheManagerAndTheRegistryAndAreDeleted) {
  // The test service beside a decoy that an unquoted path would run in its place.
  const std::string blank = dir_ + "\\with blank";
  CreateDirectoryA(blank.c_str(), nullptr);
  CopyFileA((TestBinDir() + "\\test_service.exe").c_str(), (blank + "\\test_service.exe").c_str(),
            FALSE);
  CopyFileA((TestBinDir() + "\\exit_after_delay.exe").c_str(), (dir_ + "\\with.exe").c_str(),
            FALSE);
  const std::pair<std::string, std::string> rows[] = {
      {"OrqSvcC1,My Service,C:\\Program Files\\App\\svc.exe -k run",
       "\"C:\\Program Files\\App\\svc.exe\" -k run|My Service|2|16|"},
      {"OrqSvcC2, Second ,C:\\App\\svc.exe,Text,manual,desktop",
       "C:\\App\\svc.exe|Second|3|272|Text"},
      {"OrqSvcC3,Third,\"C:\\Program Files\\svc.exe\" -x,%%Desc%%,Auto,NoDesktop,.\\orquser,%%PW%%",
       "\"C:\\Program Files\\svc.exe\" -x|Third|2|16|From a symbol"},
      // Ends in a quote: only the program part is quoted, decided by the file that exists.
      {"OrqSvcC4,Fourth,%%Blank%%\\test_service.exe \"normal\",,MANUAL",
       "\"" + blank + "\\test_service.exe\" \"normal\"|Fourth|3|16|"},
      {kLongName + ",Long,C:\\App\\svc.exe,Text,AUTO", "C:\\App\\svc.exe|Long|2|16|<none>"}};
  std::vector<std::string> lines = {"SET Desc=From a symbol", "SET Blank=" + blank,
                                    "SET PW=S3cret,Pass!"};
  for (const auto& row : rows) lines.push_back("CREATESERVICE " + row.first);
  lines.push_back("SETFINALSTATUS 0x80004005,done");
  ASSERT_EQ(Run(lines), 0u) << Log();
  for (const auto& row : rows)
    EXPECT_EQ(Definition(row.first.substr(0, row.first.find(','))), row.second);
  // The password holds commas, yet the account after it stays; the log never shows it.
  const std::string log = Log(), account = Definition("OrqSvcC3", true);
  EXPECT_EQ(_stricmp(account.substr(account.rfind('|')).c_str(), "|.\\orquser"), 0) << account;
  EXPECT_EQ(log.find("S3cret", log.find("CREATESERVICE")), std::string::npos) << log;
  EXPECT_NE(log.find(",.\\orquser,****\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Description of service " + kLongName + " not written"), std::string::npos);
  EXPECT_NE(log.find("\"0x80004005\" is not a decimal number; the status was read as 0"),
            std::string::npos);
  // The quoted program path with a blank starts the program it names.
  ExpectAnswers({{"ISSERVICERUNNING R=OrqSvcC4", "TRUE"}}, {"STARTSERVICE OrqSvcC4"});

  ExpectFailures({{"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,Text", 51},
                  {"CREATESERVICE OrqSvcF,,C:\\App\\svc.exe", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,AUTO,MAYBE", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,BOOT", 51},  // refused
                  {"CREATESERVICE OrqSvcC1,Again,C:\\App\\svc.exe", 51},      // exists
                  {"CREATESERVICE OrqSvcF,Disp,%%NoSuchSymbol%%", 28},
                  // No file nor one ".exe" tells where the program ends; the password is hidden.
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App Dir\\svc -k,,AUTO,NODESKTOP,.\\u,Lit3ral",
                   51}},
                 false);
  EXPECT_EQ(Log().find("Lit3ral"), std::string::npos) << Log();
  EXPECT_EQ(Definition("OrqSvcF"), "<none>");
  // Only the first name of a list is deleted.
  ASSERT_EQ(Run({"DELETESERVICE OrqSvcC2, OrqSvcC1"}), 0u);
  EXPECT_EQ(Definition("OrqSvcC2"), "<none>");
  EXPECT_EQ(Definition("OrqSvcC1"), rows[0].second);
}

}  // namespace

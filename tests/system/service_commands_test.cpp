// The service commands against services of the test service program, created and deleted
// through the service manager; their state, configuration and "Description" value are read
// back with QueryServiceStatus, QueryServiceConfigA and the registry.
#include <vector>

#include "support_code/script_test.h"

namespace {

UniqueServiceHandle OpenManager() {
  return UniqueServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

// The service's state, or 0 when it cannot be queried (a missing service among them).
DWORD State(const std::string& name) {
  UniqueServiceHandle manager = OpenManager();
  UniqueServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.Get(), &status) ? status.dwCurrentState : 0;
}

bool WaitForState(const std::string& name, DWORD state, DWORD timeoutMs = 10000) {
  for (DWORD waited = 0; State(name) != state; waited += 100) {
    if (waited >= timeoutMs) return false;
    Sleep(100);
  }
  return true;
}

// Deletes the service; one whose program does not stop is ended first.
void RemoveService(const std::string& name) {
  UniqueServiceHandle manager = OpenManager();
  UniqueServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_ALL_ACCESS));
  if (!service) return;
  SERVICE_STATUS status{};
  ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
  if (!WaitForState(name, SERVICE_STOPPED, 3000)) {
    SERVICE_STATUS_PROCESS process{};
    DWORD size = 0;
    QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&process),
                         sizeof process, &size);
    UniqueKernelHandle program(OpenProcess(PROCESS_TERMINATE, FALSE, process.dwProcessId));
    if (program) TerminateProcess(program.Get(), 1);
    WaitForState(name, SERVICE_STOPPED, 5000);
  }
  DeleteService(service.Get());
}

// Services named in a test are removed before it and when it ends, also when it fails.
struct ServiceCleanup {
  std::vector<std::string> names;
  explicit ServiceCleanup(std::vector<std::string> list) : names(std::move(list)) {
    for (const auto& name : names) RemoveService(name);
  }
  ~ServiceCleanup() {
    for (const auto& name : names) RemoveService(name);
  }
};

std::string HelperPath() { return TestBinDir() + "\\test_service.exe"; }

// Creates an on-demand service running the test service with `arguments`, started when
// `start` is given (and then waited for until it runs, when it is not slow to start).
void MakeService(const std::string& name, const std::string& arguments, bool start = false) {
  UniqueServiceHandle manager = OpenManager();
  std::string command = "\"" + HelperPath() + "\" " + arguments;
  UniqueServiceHandle service(
      CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                     command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(service) << name << " " << GetLastError();
  if (!start) return;
  ASSERT_TRUE(StartServiceA(service.Get(), 0, nullptr)) << GetLastError();
  if (arguments.rfind("slowstart", 0) != 0) {
    ASSERT_TRUE(WaitForState(name, SERVICE_RUNNING));
  }
}

struct Config {
  std::string program, displayName, account;
  DWORD startType = 0, serviceType = 0;
};
Config ReadConfig(const std::string& name) {
  UniqueServiceHandle manager = OpenManager();
  UniqueServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_CONFIG));
  std::vector<BYTE> bytes(8192);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(bytes.data());
  DWORD needed = 0;
  if (!service || !QueryServiceConfigA(service.Get(), config, 8192, &needed)) return {};
  return {config->lpBinaryPathName, config->lpDisplayName,
          config->lpServiceStartName ? config->lpServiceStartName : "", config->dwStartType,
          config->dwServiceType};
}

bool Logged(const std::string& log, const std::string& text) {
  return log.find(text) != std::string::npos;
}

class Services : public ScriptTest {
 protected:
  // Runs the lines, which must succeed; returns how many milliseconds they took.
  ULONGLONG Timed(const std::vector<std::string>& lines) {
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Run(lines), 0u) << Log();
    return GetTickCount64() - start;
  }
};

TEST_F(Services, WellBehavedServicesAreStoppedAndStartedWithTheirMessages) {
  ServiceCleanup cleanup({"OrqSvcA", "OrqSvcB"});
  MakeService("OrqSvcA", "normal", true);
  MakeService("OrqSvcB", "");
  const struct {
    std::string line;
    std::string logged, notLogged;  // "" for none
    DWORD stateA, stateB;
    ULONGLONG minMs, maxMs;
  } rows[] = {
      // 1 s after the stop request and 2 s at the end; B is stopped and left alone.
      {"STOPSERVICE OrqSvcA, OrqSvcB", "Stopping service...OrqSvcA.", "service...OrqSvcB",
       SERVICE_STOPPED, SERVICE_STOPPED, 3000, 9000},
      // The list ends at the empty item.
      {"STARTSERVICE OrqSvcB,,OrqSvcA", "Starting service...OrqSvcB.", "service...OrqSvcA",
       SERVICE_STOPPED, SERVICE_RUNNING, 1000, 6000},
      {"STARTSERVICE OrqSvcB", "", "Starting service", SERVICE_STOPPED, SERVICE_RUNNING, 0, 900},
      {"STOPSERVICE NoSuchOrqService,OrqSvcA", "", "Stopping service", SERVICE_STOPPED,
       SERVICE_RUNNING, 0, 900},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    ULONGLONG ms = Timed({row.line});
    EXPECT_GE(ms, row.minMs);
    EXPECT_LE(ms, row.maxMs);
    EXPECT_TRUE(row.logged.empty() || Logged(Log(), row.logged)) << Log();
    EXPECT_FALSE(Logged(Log(), row.notLogged)) << Log();
    EXPECT_EQ(State("OrqSvcA"), row.stateA);
    EXPECT_EQ(State("OrqSvcB"), row.stateB);
  }
  ExpectAnswers({{"ISSERVICERUNNING R1=OrqSvcB", "TRUE"},
                 {"ISSERVICERUNNING R2= OrqSvcA", "FALSE"},
                 {"ISSERVICERUNNING R3=NoSuchOrqService", "FALSE"}});
  ExpectFailures({{"ISSERVICERUNNING OrqSvcB", 23}}, false);
}

TEST_F(Services, SlowServicesAreWaitedForWithinBounds) {
  ServiceCleanup cleanup({"OrqSvcSlowStart", "OrqSvcSlowStop"});
  // Start pending for 2.5 s with a wait hint of 0xFFFFFFFF: one wait is held to 10 s.
  MakeService("OrqSvcSlowStart", "slowstart 2500 4294967295", true);
  ASSERT_EQ(State("OrqSvcSlowStart"), static_cast<DWORD>(SERVICE_START_PENDING));
  ExpectAnswers({{"ISSERVICERUNNING R=OrqSvcSlowStart", "FALSE"}});
  ULONGLONG ms = Timed({"STOPSERVICE OrqSvcSlowStart"});
  EXPECT_TRUE(Logged(Log(), "Stopping service...OrqSvcSlowStart.")) << Log();
  EXPECT_EQ(State("OrqSvcSlowStart"), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_GE(ms, 10000u);
  EXPECT_LT(ms, 20000u);

  ms = Timed({"STARTSERVICE OrqSvcSlowStart"});
  EXPECT_TRUE(Logged(Log(), "Starting service...OrqSvcSlowStart.")) << Log();
  EXPECT_EQ(State("OrqSvcSlowStart"), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_GE(ms, 2500u);

  MakeService("OrqSvcSlowStop", "slowstop 2500", true);
  ms = Timed({"STOPSERVICE OrqSvcSlowStop"});
  EXPECT_EQ(State("OrqSvcSlowStop"), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_GE(ms, 4500u);  // the stop itself and the final 2 s
  EXPECT_LT(ms, 12000u);
}

TEST_F(Services, ServiceThatStaysStopPendingIsWatchedThirtyPollsAndLeft) {
  ServiceCleanup cleanup({"OrqSvcIgnoreStop"});
  MakeService("OrqSvcIgnoreStop", "ignorestop", true);
  ULONGLONG ms = Timed({"STOPSERVICE OrqSvcIgnoreStop"});
  EXPECT_TRUE(Logged(Log(), "Stopping service...OrqSvcIgnoreStop.")) << Log();
  EXPECT_EQ(State("OrqSvcIgnoreStop"), static_cast<DWORD>(SERVICE_STOP_PENDING));
  EXPECT_GE(ms, 33000u);  // 1 s, 30 polls of 1 s, 2 s
  EXPECT_LT(ms, 40000u);
}

TEST_F(Services, CreatedServicesReadBackFromTheManagerAndTheRegistry) {
  const std::string longName(240, 'L');
  ServiceCleanup cleanup({"OrqSvcC1", "OrqSvcC2", "OrqSvcC3", "OrqSvcC4", "OrqSvcF", longName});
  const std::string blank = dir_ + "\\with blank";
  CreateDirectoryA(blank.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), (blank + "\\test_service.exe").c_str(), FALSE));
  const struct {
    std::string name, argument;
    Config config;
    std::string description;
  } rows[] = {
      {"OrqSvcC1",
       "My Service,C:\\Program Files\\App\\svc.exe",
       {"\"C:\\Program Files\\App\\svc.exe\"", "My Service", "", 2, 0x10},
       ""},
      {"OrqSvcC2",
       " Second ,C:\\App\\svc.exe,Text,manual,desktop",
       {"C:\\App\\svc.exe", "Second", "", 3, 0x110},
       "Text"},
      {"OrqSvcC3",
       "Third,\"C:\\Program Files\\svc.exe\" -x,%%Desc%%,Auto,NoDesktop,.\\user,pw",
       {"\"C:\\Program Files\\svc.exe\" -x", "Third", "", 2, 0x10},
       "From a symbol"},
      {"OrqSvcC4",
       "Fourth,%%Blank%%\\test_service.exe,,MANUAL",
       {"\"" + blank + "\\test_service.exe\"", "Fourth", "", 3, 0x10},
       ""},
  };
  std::vector<std::string> lines = {"SET Desc=From a symbol", "SET Blank=" + blank};
  for (const auto& row : rows) lines.push_back("CREATESERVICE " + row.name + "," + row.argument);
  lines.push_back("CREATESERVICE " + longName + ",Long,C:\\App\\svc.exe,Text,AUTO");
  ASSERT_EQ(Run(lines), 0u) << Log();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Config config = ReadConfig(row.name);
    EXPECT_EQ(config.program, row.config.program);
    EXPECT_EQ(config.displayName, row.config.displayName);
    EXPECT_EQ(config.startType, row.config.startType);
    EXPECT_EQ(config.serviceType, row.config.serviceType);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE,
                                "SYSTEM\\CurrentControlSet\\Services\\" + row.name, "Description"),
              Sz(row.description));
  }
  // The key path of a long name would not fit: no value, and a line says so.
  EXPECT_EQ(ReadConfig(longName).startType, 2u);
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE,
                              "SYSTEM\\CurrentControlSet\\Services\\" + longName, "Description"),
            StoredValue{});
  EXPECT_TRUE(Logged(Log(), "Description of service " + longName + " not written")) << Log();
  // The quoted program path with a blank starts the program it names.
  ExpectAnswers({{"ISSERVICERUNNING R=OrqSvcC4", "TRUE"}}, {"STARTSERVICE OrqSvcC4"});

  ExpectFailures({{"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,Text", 51},
                  {"CREATESERVICE OrqSvcF,Disp", 51},
                  {"CREATESERVICE OrqSvcF,,C:\\App\\svc.exe", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,AUTO,NODESKTOP,.\\user", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,SOMETIMES", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,AUTO,MAYBE", 51},
                  {"CREATESERVICE OrqSvcF,Disp,C:\\App\\svc.exe,,BOOT", 51},  // refused
                  {"CREATESERVICE OrqSvcC1,Again,C:\\App\\svc.exe", 51},      // exists
                  {"CREATESERVICE OrqSvcF,Disp,C:\\" + std::string(250, 'p') + " x.exe", 51},
                  {"CREATESERVICE OrqSvcF,Disp,%%NoSuchSymbol%%", 28}},
                 false);
  EXPECT_EQ(State("OrqSvcF"), 0u);
  EXPECT_EQ(ReadConfig("OrqSvcC1").displayName, "My Service");
}

TEST_F(Services, DeleteServiceRemovesTheFirstNamedServiceOnly) {
  ServiceCleanup cleanup({"OrqSvcD1", "OrqSvcD2"});
  MakeService("OrqSvcD1", "");
  MakeService("OrqSvcD2", "");
  ASSERT_EQ(Run({"DELETESERVICE OrqSvcD1, OrqSvcD2", "DELETESERVICE NoSuchOrqService"}), 0u);
  EXPECT_EQ(State("OrqSvcD1"), 0u);
  EXPECT_EQ(State("OrqSvcD2"), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_TRUE(Logged(Log(), "Could not find service NoSuchOrqService\r\n")) << Log();
}
}  // namespace

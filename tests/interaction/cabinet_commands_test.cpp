// INSTALLCAB and RESETLASTUPDATE against OrqCab.exe registered in the test
// prefix, and against an in-process stand-in for the failures a real component
// may show.
#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include <atomic>
#include <thread>

#include "agent_interfaces.h"
#include "interaction/cabinet_test_support.h"
#include "orqcab_interfaces.h"

namespace {
TEST_F(CabinetTest, ExtractsEveryFileIntoTheSelectedFolderAndKeepsTheLastUpdate) {
  struct Case {
    std::string params, numbers, folder;
  };
  const Case cases[] = {
      {"", ",0,0,1,2,3,4", dir_},
      {"cabfolder=\"sub\\dir\"", ",0,0,4,3,2,1", dir_ + "\\sub\\dir"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    TheHostValues().rawParams = HexParams(c.params);
    ASSERT_EQ(Run({"SET Cab=" + cab_, "INSTALLCAB R=%%Cab%%" + c.numbers}), 0u) << Log();
    EXPECT_EQ(Symbol("R"), "TRUE");
    EXPECT_EQ(TheFinalStatus().status, 0);
    EXPECT_NE(TheFinalStatus().message.find("3 files"), std::string::npos);
    for (const CabinetEntry& entry : TestCabinetEntries()) {
      EXPECT_EQ(ReadTextFile(c.folder + "\\" + entry.name), PatternBytes(entry.name, entry.size))
          << entry.name;
    }
    const std::string version = c.numbers.substr(5);  // "a,b,c,d"
    std::string dotted = version;
    for (char& ch : dotted) ch = ch == ',' ? '.' : ch;
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, "LastUpdate"), Sz(dotted));
  }
  ASSERT_EQ(Run({"RESETLASTUPDATE"}), 0u);
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, "LastUpdate").first,
            static_cast<DWORD>(REG_NONE));
}

TEST_F(CabinetTest, WithoutAComponentTheCommandSucceedsAndLeavesTheSymbol) {
  RegisterOrqCab("/UnregServer");
  const unsigned status = Run({"INSTALLCAB R=" + cab_ + ",1", "RESETLASTUPDATE"});
  RegisterOrqCab("/RegServer");
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(Symbol("R"), "<unset>");
  EXPECT_NE(Log().find("INSTALLCAB: no cabinet installer"), std::string::npos) << Log();
  EXPECT_FALSE(FileExists(dir_ + "\\readme.txt"));
}

// A whole run started by the test agent: each file's Progress reaches the agent, and
// Finished's status and message become the run's final status there.
TEST_F(CabinetTest, ProgressReachesTheAgentAndTheOutcomeIsTheFinalStatus) {
  WriteTextFile(dir_ + "\\agent.Orq", "[DefaultInstall]\r\nINSTALLCAB R=" + cab_ + "\r\n");
  const OrqexRun run =
      RunProgram("\"" + TestBinDir() + "\\test_agent.exe\" " + dir_ +
                 "\\calls.txt /Script=" + dir_ + "\\agent.Orq /Log=" + dir_ + "\\run.log /Quiet");
  EXPECT_EQ(run.exitCode, 0u);
  const std::string calls = ReadTextFile(dir_ + "\\calls.txt");
  std::size_t at = 0;
  for (const char* line :
       {"Progress 1 3 1000 readme.txt", "Progress 2 3 70000 bin\\tool.dat",
        "Progress 3 3 3 docs\\deep\\note.txt", "Finished 0x00000000 Installed 3 files"}) {
    at = calls.find(line, at);
    EXPECT_NE(at, std::string::npos) << line << "\n" << calls;
  }
}

// The server process is ended while it extracts: the command notices and does
// not wait for a Finished that can never come.
TEST_F(CabinetTest, AServerThatDiesDuringTheInstallationEndsTheWait) {
  std::string command = "\"" + TestBinDir() + "\\make_cabinet.exe\" " + dir_ + "\\big.cab";
  for (int i = 0; i < 400; ++i) command += " f" + std::to_string(i) + ".bin=65536";
  ASSERT_EQ(RunProgram(command).exitCode, 0u);
  TheHostValues().rawParams = HexParams("cabfolder=\"out\"");
  std::atomic<bool> killed{false}, stop{false};
  std::thread killer([&] {
    for (int tries = 0; tries < 20000 && !killed && !stop; ++tries) {
      if (FileExists(dir_ + "\\out\\f0.bin")) {
        UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot.Get(), &entry); more;
             more = Process32Next(snapshot.Get(), &entry)) {
          if (lstrcmpiA(entry.szExeFile, "OrqCab.exe") != 0) continue;
          UniqueKernelHandle server(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
          killed = TerminateProcess(server.Get(), 9) != FALSE;
        }
      }
      Sleep(1);
    }
  });
  const ULONGLONG start = GetTickCount64();
  const unsigned status = Run({"INSTALLCAB R=" + dir_ + "\\big.cab"});
  stop = true;
  killer.join();
  EXPECT_TRUE(killed.load());
  EXPECT_EQ(status, 0u);
  EXPECT_LT(GetTickCount64() - start, 30000u);
  EXPECT_EQ(Symbol("R"), "FALSE");
  EXPECT_LT(TheFinalStatus().status, 0);
}

// A stand-in for the component, registered in this process: what it does with a
// request is set per case.
class StandInInstaller : public IOrqCabInstaller, public IClassFactory {
 public:
  HRESULT callResult = S_OK;
  bool finish = true;
  LONG finishStatus = 0;
  std::array<long, 6> numbers{};

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
    } else if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOrqCabInstaller)) {
      *out = static_cast<IOrqCabInstaller*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
    return QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResetLastUpdate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LastUpdate(BSTR* version) override {
    *version = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InstallCab(BSTR, long n1, long n2, long n3, long n4, long n5, long n6,
                                       IUnknown* callback, long, IUnknown*, BSTR) override {
    numbers = {n1, n2, n3, n4, n5, n6};
    ComPtr<IOrqexCallback> sink;
    callback->QueryInterface(IID_IOrqexCallback, reinterpret_cast<void**>(sink.Put()));
    if (finish && sink) {
      BSTR message = SysAllocString(L"stand-in message");
      sink->Finished(finishStatus, message);
      SysFreeString(message);
    }
    return callResult;
  }
};

TEST_F(CabinetTest, TheComponentsAnswerBecomesTheFinalStatus) {
  struct Case {
    HRESULT callResult;
    bool finish;
    LONG finishStatus;
    const char* symbol;
    LONG finalStatus;
  };
  const Case cases[] = {
      {S_OK, true, 0, "TRUE", 0},
      {S_OK, true, static_cast<LONG>(0x80004005), "FALSE", static_cast<LONG>(0x80004005)},
      {E_FAIL, false, 0, "FALSE", E_FAIL},  // fails without Finished: no wait
  };
  StandInInstaller standIn;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_OrqCabInstaller, static_cast<IClassFactory*>(&standIn),
                                  CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            S_OK);
  for (const Case& c : cases) {
    standIn.callResult = c.callResult;
    standIn.finish = c.finish;
    standIn.finishStatus = c.finishStatus;
    ASSERT_EQ(Run({"INSTALLCAB R=C:\\x.cab,1"}), 0u) << Log();
    EXPECT_EQ(Symbol("R"), c.symbol);
    EXPECT_EQ(TheFinalStatus().status, c.finalStatus);
    EXPECT_EQ(standIn.numbers, (std::array<long, 6>{1, 0, 0, 0, 0, 0}));
  }
  EXPECT_EQ(TheFinalStatus().message.find("stand-in"), std::string::npos);
  CoRevokeClassObject(cookie);
}
}  // namespace

// INSTALLCAB and RESETLASTUPDATE against OrqCab.exe registered in the test
// prefix, and against an in-process stand-in for the failures a real component
// may show.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "agent_interfaces.h"
#include "interaction/cabinet_test_support.h"
#include "orqcab_interfaces.h"
#include "support/wide_text.h"

namespace {
// Sends `signal` to this prefix's processes running `program` (found on the Unix side by
// their command line and prefix; "0" only asks whether one runs): 0 when one got it.
int SignalPrograms(const std::string& program, const std::string& signal) {
  std::string pattern;  // "[.]": the shell's own command line does not match
  for (char c : program) pattern += c == '.' ? std::string("[.]") : std::string(1, c);
  return RunUnixShell("r=1; for p in $(pgrep -f '" + pattern + "'); do "
                      "tr '\\0' '\\n' </proc/$p/environ 2>/dev/null | grep -qx "
                      "WINEPREFIX=$WINEPREFIX && kill -" + signal + " $p && r=0; done; exit $r");
}

// A cabinet of `files` files of 64 KB, f0.bin, f1.bin, ...
void MakeBigCabinet(const std::string& path, int files) {
  std::vector<CabinetEntry> entries;
  for (int i = 0; i < files; ++i) entries.push_back({"f" + std::to_string(i) + ".bin", 65536});
  ASSERT_TRUE(WriteCabinet(path, entries));
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

// A whole run started by the test agent: progress reaches the agent coalesced (the first
// file, then the newest at most every 100 ms, always the last), and Finished's status and
// message become the run's final status there.
TEST_F(CabinetTest, ProgressReachesTheAgentCoalescedAndTheOutcomeIsTheFinalStatus) {
  constexpr int kFiles = 400;
  MakeBigCabinet(dir_ + "\\big.cab", kFiles);
  WriteTextFile(dir_ + "\\agent.Orq", "[DefaultInstall]\r\nINSTALLCAB R=" + dir_ + "\\big.cab\r\n");
  const ULONGLONG start = GetTickCount64();
  const OrqexRun run =
      RunProgram("\"" + TestBinDir() + "\\test_agent.exe\" " + dir_ +
                 "\\calls.txt /Script=" + dir_ + "\\agent.Orq /Log=" + dir_ + "\\run.log /Quiet");
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_EQ(run.exitCode, 0u);
  const std::string calls = ReadTextFile(dir_ + "\\calls.txt");
  std::vector<int> indices;
  for (std::size_t at = calls.find("Progress "); at != std::string::npos;
       at = calls.find("Progress ", at + 1)) {
    indices.push_back(std::atoi(calls.c_str() + at + 9));
    EXPECT_EQ(calls.compare(calls.find(' ', at + 9), 5, " 400 "), 0) << calls.substr(at, 40);
  }
  ASSERT_FALSE(indices.empty()) << calls;
  EXPECT_EQ(indices.front(), 1);
  EXPECT_EQ(indices.back(), kFiles);
  EXPECT_TRUE(std::is_sorted(indices.begin(), indices.end()));
  EXPECT_LE(indices.size(), 2 + elapsed / 100) << calls;
  EXPECT_NE(calls.find("Progress 400 400 65536 f399.bin"), std::string::npos) << calls;
  EXPECT_NE(calls.find("Finished 0x00000000 Installed 400 files"), std::string::npos) << calls;
}

// A server that is killed or stopped during the installation ends the wait with a failure
// (killed: at once; stopped: after the silence limit), and the run's next INSTALLCAB gets a
// new server; so does one after the run's server was killed between two lines.
TEST_F(CabinetTest, AKilledOrStoppedServerFailsTheLineAndTheNextInstallWorks) {
  MakeBigCabinet(dir_ + "\\big.cab", 1000);
  CreateDirectoryA((dir_ + "\\small").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(cab_.c_str(), (dir_ + "\\small\\test.cab").c_str(), FALSE));
  const std::string small = dir_ + "\\small\\test.cab";
  struct Case {
    const char* signal;  // sent on the Unix side once the first file is out
    std::string message;
  };
  const Case cases[] = {
      {"KILL", "ended without finishing"},
      {"STOP", "was not heard from for " + std::to_string(kSilenceMs / 1000) + " s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signal);
    DeleteFileA((dir_ + "\\f0.bin").c_str());
    std::atomic<bool> done{false}, acted{false};
    std::thread actor([&] {
      while (!done && !FileExists(dir_ + "\\f0.bin")) Sleep(1);
      if (!done) acted = SignalPrograms("OrqCab.exe", c.signal) == 0;
    });
    const OrqexRun run = RunScript(dir_,
                                   "[DefaultInstall]\r\nINSTALLCAB A=" + dir_ + "\\big.cab\r\n"
                                   "INSTALLCAB B=" + small + "\r\nKILLPROCESS OrqCab.exe\r\n"
                                   "INSTALLCAB C=" + small + "\r\n",
                                   "", "run.Orq");
    done = true;
    actor.join();
    SignalPrograms("OrqCab.exe", "KILL");  // the stopped one
    EXPECT_TRUE(acted.load());
    EXPECT_EQ(run.exitCode, 0u);
    const std::string log = ReadTextFile(dir_ + "\\run.log");
    const std::size_t first = log.find("INSTALLCAB " + dir_ + "\\big.cab: status 0x8");
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(c.message, first), std::string::npos) << log;
    const std::string installed = "INSTALLCAB " + small + ": status 0x00000000 Installed 3 files";
    EXPECT_NE(log.find(installed), std::string::npos) << log;
    EXPECT_NE(log.rfind(installed), log.find(installed)) << log;  // B and C both
    EXPECT_EQ(ReadTextFile(dir_ + "\\small\\readme.txt"), PatternBytes("readme.txt", 1000));
  }
}

// A run that ends without letting go of its installer (ended from outside, or by the
// parent watch) takes the OrqCab it kept with it.
TEST_F(CabinetTest, TheServerEndsWithARunThatEndsAbruptly) {
  WriteTextFile(dir_ + "\\run.Orq", "[DefaultInstall]\r\nINSTALLCAB R=" + cab_ + "\r\nRUNWAIT \"" +
                                         TestBinDir() + "\\exit_after_delay.exe\" 20000\r\n");
  UniqueKernelHandle run = StartProgram("\"" + TestBinDir() + "\\Orqex.exe\" /Script=" + dir_ +
                                        "\\run.Orq /Log=" + dir_ + "\\run.log");
  for (int waited = 0; waited < 300 && Log().find("Executing line 3") == std::string::npos;
       ++waited) {
    Sleep(100);
  }
  ASSERT_NE(Log().find("Installed 3 files"), std::string::npos) << Log();
  ASSERT_EQ(SignalPrograms("OrqCab.exe", "0"), 0);
  TerminateProcess(run.Get(), 9);
  SignalPrograms("exit_after_delay.exe", "KILL");
  for (int waited = 0; waited < 30 && SignalPrograms("OrqCab.exe", "0") == 0; ++waited) Sleep(100);
  EXPECT_NE(SignalPrograms("OrqCab.exe", "0"), 0);
  SignalPrograms("OrqCab.exe", "KILL");
}

// A stand-in for the component, registered in this process: what it does with a
// request is set per case.
class StandInInstaller : public IOrqCabInstaller, public IClassFactory {
 public:
  HRESULT callResult = S_OK;
  bool finish = true;
  LONG finishStatus = 0;
  std::array<long, 6> numbers{};
  int created = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = IsEqualIID(iid, IID_IClassFactory) ? static_cast<IClassFactory*>(this)
           : IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOrqCabInstaller)
               ? static_cast<IUnknown*>(static_cast<IOrqCabInstaller*>(this))
               : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
    ++created;
    return QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResetLastUpdate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LastUpdate(BSTR* version) override {
    *version = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ExchangeProcessIds(long, long*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InstallCab(BSTR, long n1, long n2, long n3, long n4, long n5, long n6,
                                       IUnknown* callback, long, IUnknown*, BSTR) override {
    numbers = {n1, n2, n3, n4, n5, n6};
    ComPtr<IOrqexCallback> sink;
    callback->QueryInterface(IID_IOrqexCallback, reinterpret_cast<void**>(sink.Put()));
    if (finish && sink) sink->Finished(finishStatus, ComString("stand-in message").Get());
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
  ASSERT_EQ(Run({"RESETLASTUPDATE"}), 0u);
  EXPECT_EQ(standIn.created, 1);  // one installer served every line
  CoRevokeClassObject(cookie);
}
}  // namespace

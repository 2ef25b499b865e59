// What an attacker or an unlucky machine puts in OrqCab's way: links and hard links
// planted in the target (made on the Unix side, as Wine cannot make them), names that
// leave the folder or open a device, damaged cabinets and cabinets of a set, files in
// use or read-only. Effects are read back with the plain file and registry functions.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "files/files_test_support.h"
#include "interaction/cabinet_test_support.h"
#include "orqcab_interfaces.h"
#include "support/wide_text.h"

namespace {
// Every file below `folder` by its relative name, with its size and a hash of its bytes
// (so that a failure prints readably), and every folder by its name and a "\\" (so that a
// temporary folder left behind shows); the run's own log at the top is left out.
using Snapshot = std::map<std::string, std::string>;
std::string Fingerprint(const std::string& bytes) {
  return std::to_string(bytes.size()) + "#" + std::to_string(std::hash<std::string>{}(bytes));
}
void AddFiles(const std::string& folder, const std::string& prefix, Snapshot& files) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == ".." || (prefix.empty() && name == "run.log")) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      files[prefix + name + "\\"];
      AddFiles(folder + "\\" + name, prefix + name + "\\", files);
    } else {
      files[prefix + name] = Fingerprint(ReadTextFile(folder + "\\" + name));
    }
  } while (FindNextFileA(find.Get(), &data));
}
Snapshot FilesBelow(const std::string& folder) {
  Snapshot files;
  AddFiles(folder, "", files);
  return files;
}

Snapshot Expected(const std::vector<CabinetEntry>& entries) {
  Snapshot files;
  for (const CabinetEntry& entry : entries) {
    files[entry.name] = Fingerprint(PatternBytes(entry.name, entry.size));
    for (std::size_t slash = entry.name.find('\\'); slash != std::string::npos;
         slash = entry.name.find('\\', slash + 1)) {
      files[entry.name.substr(0, slash + 1)];
    }
  }
  return files;
}

DWORD LinkCount(const std::string& path) {
  UniqueKernelHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  return file && GetFileInformationByHandle(file.Get(), &info) ? info.nNumberOfLinks : 0;
}

class CabinetSafetyTest : public CabinetTest {
 protected:
  // Runs INSTALLCAB of `cabinet` with the numbers (",a,b...") and the Params= text.
  void Install(const std::string& cabinet, const std::string& numbers = "",
               const std::string& params = "") {
    TheHostValues().rawParams = HexParams(params);
    ASSERT_EQ(Run({"INSTALLCAB R=" + cabinet + numbers}), 0u) << Log();
  }
  // The installation ended with FALSE and a final message holding `refusal` (with TRUE and
  // status 0 when `refusal` is empty), and the message is logged.
  void ExpectOutcome(const std::string& refusal) {
    const std::string& message = TheFinalStatus().message;
    EXPECT_EQ(Symbol("R"), refusal.empty() ? "TRUE" : "FALSE") << message;
    EXPECT_EQ(TheFinalStatus().status < 0, !refusal.empty());
    EXPECT_NE(message.find(refusal), std::string::npos) << message;
    EXPECT_NE(Log().find(message), std::string::npos) << Log();
  }
  void ExpectInstalled() { ExpectOutcome(""); }
  std::string MakeCabinet(const std::string& name, const std::vector<CabinetEntry>& entries,
                          unsigned long maxBytes = 0) {
    const std::string path = dir_ + "\\" + name;
    EXPECT_TRUE(WriteCabinet(path, entries, maxBytes)) << path;
    return path;
  }
};

// A planted link, junction or second name anywhere below the base (the cabfolder
// itself, a folder above or inside it, the file) ends the installation before any
// file changes; the place it points to is untouched.
TEST_F(CabinetSafetyTest, LinksAndHardLinksInTheTargetAreRefusedAndNothingOutsideChanges) {
  const std::string outside = dir_ + "\\outside";
  CreateDirectoryA(outside.c_str(), nullptr);
  CreateDirectoryA((outside + "\\bin").c_str(), nullptr);
  WriteTextFile(outside + "\\readme.txt", "outside, not to be written");
  struct Case {
    std::string cabfolder;  // the target below the scratch folder
    std::string link;       // what becomes a link, below the scratch folder
    std::string to;         // what it points to, below the scratch folder
    bool hard;
  };
  const Case cases[] = {
      {"t1", "t1\\readme.txt", "outside\\readme.txt", false},
      {"t2", "t2\\bin", "outside\\bin", false},
      {"t3", "t3\\readme.txt", "outside\\readme.txt", true},
      {"t4", "t4", "outside", false},
      {"t5\\deeper", "t5", "outside", false},
      {"t6", "t6\\docs", "outside", false},
  };
  std::string shell;
  for (const Case& c : cases) {
    CreateDirectoryA((dir_ + "\\" + c.cabfolder.substr(0, 2)).c_str(), nullptr);
    if (c.link.size() == 2) RemoveDirectoryA((dir_ + "\\" + c.link).c_str());
    shell += std::string(shell.empty() ? "" : " && ") + (c.hard ? "ln -f '" : "ln -sfn '") +
             UnixPath(dir_ + "\\" + c.to) + "' '" + UnixPath(dir_ + "\\" + c.link) + "'";
  }
  ASSERT_EQ(RunUnixShell(shell), 0) << shell;
  const Snapshot before = FilesBelow(outside);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link);
    const std::string link = dir_ + "\\" + c.link;
    ASSERT_TRUE(FileExists(link));
    if (c.hard) {
      ASSERT_EQ(LinkCount(link), 2u);
    }
    Install(cab_, "", "cabfolder=\"" + c.cabfolder + "\"");
    ExpectOutcome("\"" + link + "\"");
    EXPECT_EQ(FilesBelow(outside), before);
    for (const CabinetEntry& e : TestCabinetEntries()) {
      EXPECT_NE(Fingerprint(ReadTextFile(dir_ + "\\" + c.cabfolder + "\\" + e.name)),
                Fingerprint(PatternBytes(e.name, e.size))) << e.name;
    }
  }
  EXPECT_EQ(LinkCount(outside + "\\readme.txt"), 2u) << "the hard link itself stays";
  // Removed on the Unix side: a folder tree walk would follow the links.
  RunUnixShell("rm -rf '" + UnixPath(dir_) + "'");
}

// Requests that cannot be installed end FALSE and write nothing: a missing cabinet, a
// cabinet path or an entry that names a device (which would swallow the data, or block
// on a read), an entry that leaves the folder, a cabfolder that does, a base folder that
// does not exist.
TEST_F(CabinetSafetyTest, RefusedCabinetsAndNamesWriteNothing) {
  struct Case {
    std::string cabinet;  // below the scratch folder
    std::string badEntry;  // made with a good file before it, when not empty
    std::string params, numbers, messagePart;
  };
  const Case cases[] = {
      {"missing.cab", "", "", "", "does not exist"},
      {"AUX.cab", "", "", "", "AUX.cab"},
      {"dev\\com1.cab", "", "", "", "com1.cab"},
      {"nul1.cab", "NUL", "", "", "\"NUL\""},
      {"nul2.cab", "nul.txt", "", "", "\"nul.txt\""},
      {"nul3.cab", "sub\\NUL", "", "", "\"sub\\NUL\""},
      {"com.cab", "COM1.dat", "", "", "\"COM1.dat\""},
      {"evil.cab", "..\\evil.txt", "", "", "..\\evil.txt"},
      {"test.cab", "", "cabfolder=\"..\\up\"", "", "target folder"},
      {"test.cab", "", "", ",9", "first number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cabinet + " " + c.badEntry);
    if (!c.badEntry.empty()) MakeCabinet(c.cabinet, {{"good.txt", 10}, {c.badEntry, 10}});
    const Snapshot before = FilesBelow(dir_);
    Install(dir_ + "\\" + c.cabinet, c.numbers, c.params);
    ExpectOutcome(c.messagePart);
    EXPECT_EQ(FilesBelow(dir_), before);
  }
  EXPECT_FALSE(FileExists(dir_ + "\\up"));
  ExpectFailures({{"INSTALLCAB R=", 51}, {"INSTALLCAB R=,1,2", 51}});
}

// Installed over a good installation, a cabinet cut anywhere, one whose header has no
// folders, and either half of a cabinet set (a file that begins in, or continues into,
// another cabinet) leave every installed file as it was, and no temporary file behind.
TEST_F(CabinetSafetyTest, ADamagedCabinetLeavesEveryInstalledFileAsItWas) {
  const std::vector<CabinetEntry> good = {
      {"a.txt", 30000}, {"bin\\b.dat", 400000}, {"c.txt", 20000}, {"docs\\d.txt", 300000}};
  std::vector<CabinetEntry> newer = good;
  for (CabinetEntry& entry : newer) entry.size += 1000;
  const std::string installed = dir_ + "\\inst";
  Install(MakeCabinet("good.cab", good), "", "cabfolder=\"inst\"");
  ExpectInstalled();
  const Snapshot before = FilesBelow(installed);
  ASSERT_EQ(before, Expected(good));

  const std::string whole = ReadTextFile(MakeCabinet("newer.cab", newer));
  std::string noFolders = whole;
  noFolders[26] = noFolders[27] = '\0';  // the header's folder count
  MakeCabinet("set.cab", newer, static_cast<unsigned long>(whole.size() * 6 / 10));
  ASSERT_TRUE(FileExists(dir_ + "\\set2.cab")) << "the writer made no set";
  struct Case {
    std::string cabinet;
    std::string bytes;  // written to the cabinet first, when not empty
    std::string messagePart;
  };
  std::vector<Case> cases;
  for (int percent : {40, 55, 70, 85}) {
    cases.push_back({"cut" + std::to_string(percent) + ".cab",
                     whole.substr(0, whole.size() * percent / 100), "damaged"});
  }
  cases.push_back({"nofolders.cab", noFolders, "no folders"});
  cases.push_back({"set.cab", "", "continues in another cabinet"});
  cases.push_back({"set2.cab", "", "begins in another cabinet"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cabinet);
    if (!c.bytes.empty()) WriteTextFile(dir_ + "\\" + c.cabinet, c.bytes);
    Install(dir_ + "\\" + c.cabinet, "", "cabfolder=\"inst\"");
    ExpectOutcome(c.messagePart);
    EXPECT_EQ(FilesBelow(installed), before);
  }
  Install(dir_ + "\\newer.cab", "", "cabfolder=\"inst\"");  // the whole one does replace
  ExpectInstalled();
  EXPECT_EQ(FilesBelow(installed), Expected(newer));
}

// A full disk: the installed file stays, the new file that fitted goes again, no
// temporary file is left, and the failure says why.
TEST_F(CabinetSafetyTest, AFullDiskChangesNothingAndSaysSo) {
  SmallDrive drive('q');
  if (!drive.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  WriteTextFile("Q:\\a.txt", "installed before");
  ASSERT_TRUE(WriteCabinet("Q:\\full.cab", {{"new.txt", 20000}, {"a.txt", 50000}, {"big", 400000}}));
  const Snapshot before = FilesBelow("Q:");
  Install("Q:\\full.cab");
  ExpectOutcome("the disk is full");
  EXPECT_EQ(FilesBelow("Q:"), before);
}

// Files already there: kept with the second number 1; replaced with 0, read-only ones
// too. A read-only file in use stays as it was and read-only, whether it is found in use
// at once or only when it is to be replaced (held with leave to delete: the move over it
// fails after its attribute was cleared), and nothing else changes.
TEST_F(CabinetSafetyTest, ExistingFilesAreKeptOrReplacedWhole) {
  struct Case {
    const char* numbers;
    bool readOnly;
    DWORD heldSharing;  // readme.txt held open by this process with that sharing, when not 0
    bool installed;     // the cabinet's readme.txt is there afterwards
  };
  const Case cases[] = {
      {",0,1", false, 0, false},
      {",0,0", true, 0, true},
      {",0,0", true, FILE_SHARE_READ, false},
      {",0,0", true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
  };
  const std::string readme = dir_ + "\\readme.txt";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.numbers) + (c.readOnly ? " read-only" : "") +
                 (c.heldSharing ? " held" : ""));
    RemoveFolderTree(dir_ + "\\bin");
    SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteTextFile(readme, "installed before");
    if (c.readOnly) SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY);
    UniqueKernelHandle held;
    if (c.heldSharing) {
      held.Reset(CreateFileA(readme.c_str(), GENERIC_READ, c.heldSharing, nullptr, OPEN_EXISTING,
                             0, nullptr));
    }
    Install(cab_, c.numbers);
    held.Reset();
    ExpectOutcome(c.heldSharing ? "readme.txt" : "");
    EXPECT_EQ(FileExists(dir_ + "\\bin\\tool.dat"), !c.heldSharing);
    EXPECT_EQ(ReadTextFile(readme),
              c.installed ? PatternBytes("readme.txt", 1000) : "installed before");
    EXPECT_EQ((GetFileAttributesA(readme.c_str()) & FILE_ATTRIBUTE_READONLY) != 0,
              c.readOnly && !c.installed);
  }
  SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// More files than OrqCab keeps open until their move (4,096): the others are closed
// when written and opened again to be moved, and every one arrives whole.
TEST_F(CabinetSafetyTest, ACabinetOfMoreFilesThanAreHeldOpenInstallsEveryFile) {
  std::vector<CabinetEntry> entries;
  for (unsigned i = 0; i < 4200; ++i) {
    entries.push_back({"f" + std::to_string(i) + ".txt", i % 97 + 1});
  }
  Install(MakeCabinet("many.cab", entries), "", "cabfolder=\"many\"");
  ExpectInstalled();
  EXPECT_EQ(FilesBelow(dir_ + "\\many"), Expected(entries));
}

// Base 0 is the folder the cabinet is in, however its path is written: with "/" (through a
// symbol), and relative to the engine's working folder, SETWORKDIR's or else its current one
// (OrqCab has another current folder). The last four numbers and the cabinet are kept as the
// last update, which RESETLASTUPDATE removes.
TEST_F(CabinetSafetyTest, BaseZeroIsTheCabinetsOwnFolderAndTheLastUpdateIsKept) {
  struct Case {
    std::string folder;                  // below the scratch folder, holding x.cab
    std::vector<std::string> lines;      // the script
  };
  std::string forward = dir_ + "\\fwd\\x.cab";
  for (char& c : forward) c = c == '\\' ? '/' : c;
  const Case cases[] = {
      {"fwd", {"SET C=" + forward, "INSTALLCAB R=%%C%%"}},
      {"rel", {"SETWORKDIR " + dir_ + "\\rel", "INSTALLCAB R=x.cab"}},
      {"up\\down", {"SETWORKDIR " + dir_ + "\\up\\other", "INSTALLCAB R=..\\down\\x.cab"}},
      {"cur", {"INSTALLCAB R=x.cab,0,0,4,3,2,1"}},
  };
  std::string previous(MAX_PATH, '\0');
  previous.resize(GetCurrentDirectoryA(MAX_PATH, previous.data()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string folder = dir_ + "\\" + c.folder;
    CreateDirectoryA((dir_ + "\\" + c.folder.substr(0, c.folder.find('\\'))).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(cab_.c_str(), (folder + "\\x.cab").c_str(), FALSE));
    SetCurrentDirectoryA(c.folder == "cur" ? folder.c_str() : previous.c_str());
    const unsigned status = Run(c.lines);
    SetCurrentDirectoryA(previous.c_str());
    ASSERT_EQ(status, 0u) << Log();
    ExpectInstalled();
    Snapshot files = FilesBelow(folder);
    files.erase("x.cab");
    EXPECT_EQ(files, Expected(TestCabinetEntries()));
  }
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, "LastUpdate"), Sz("4.3.2.1"));
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, "LastCabinet"),
            Sz(dir_ + "\\cur\\x.cab"));
  ASSERT_EQ(Run({"RESETLASTUPDATE"}), 0u);
  for (const char* value : {"LastUpdate", "LastCabinet"}) {
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, value).first,
              static_cast<DWORD>(REG_NONE)) << value;
  }
}

// OrqCab installs nothing for a caller that gave no callback, and a last-update record
// that cannot be written makes the installation a failure.
TEST_F(CabinetSafetyTest, AnInstallationNobodyHearsOfOrThatCannotBeRecordedFails) {
  ASSERT_EQ(Run({"RESETLASTUPDATE"}), 0u);
  ComPtr<IOrqCabInstaller> installer;
  ASSERT_EQ(CoCreateInstance(CLSID_OrqCabInstaller, nullptr, CLSCTX_LOCAL_SERVER,
                             IID_IOrqCabInstaller, reinterpret_cast<void**>(installer.Put())),
            S_OK);
  {
    ComString cabinet(cab_), params("");
    EXPECT_TRUE(FAILED(installer->InstallCab(cabinet.Get(), 0, 0, 9, 9, 9, 9, nullptr, 0,
                                             nullptr, params.Get())));
  }
  installer.Reset();
  EXPECT_FALSE(FileExists(dir_ + "\\readme.txt"));
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kOrqCabKey, "LastUpdate").first,
            static_cast<DWORD>(REG_NONE));

  // Under a volatile key no lasting key can be made (1021).
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orqex");
  UniqueRegKey volatileKey;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orqex", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, volatileKey.Put(),
                            nullptr),
            ERROR_SUCCESS);
  Install(cab_, ",0,0,1,2,3,4");
  volatileKey.Reset();
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orqex");
  ExpectOutcome("last update");
  EXPECT_EQ(TheFinalStatus().message.find("Installed"), std::string::npos);
}
}  // namespace

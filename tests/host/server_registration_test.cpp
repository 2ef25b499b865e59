#include "host/registrar.h"
#include "support_code/script_test.h"

namespace {
const std::string kAppId = "{BE3F3EBD-756A-4BD1-823F-02AB4890BD34}";
const std::string kLibrary = "TypeLib\\{359f4f1a-2288-4f27-af97-7249b7f7c1d8}\\1.0";

StoredValue Classes(const std::string& subKey, const char* name = nullptr) {
  return ReadRegistryValue(HKEY_CLASSES_ROOT, subKey, name);
}

// A copy whose type library lost its header signature fails after writing the AppID and still
// unregisters with 0; the program itself registers both, and unregistering twice ends with 0.
TEST(ServerRegistration, RegServerWritesTheAppIdAndLibraryUnregServerTakesThemAway) {
  const std::string dir = MakeScratchDir("RegServerWithoutLibrary"), copy = dir + "\\Orqex.exe";
  std::string bytes = ReadTextFile(TestBinDir() + "\\Orqex.exe");
  const std::size_t header = bytes.find("MSFT");
  ASSERT_NE(header, std::string::npos);
  WriteTextFile(copy, bytes.replace(header, 4, "XXXX"));
  RunOrqex("/UnregServer");
  EXPECT_EQ(RunProgram(copy + " /RegServer").exitCode, 57u);
  EXPECT_EQ(Classes("AppID\\" + kAppId), Sz("Orqex"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kLibrary));
  EXPECT_EQ(RunProgram(copy + " /UnregServer").exitCode, 0u);
  EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "AppID\\" + kAppId));
  RemoveFolderTree(dir);

  ASSERT_EQ(RunOrqex("/RegServer").exitCode, 0u);
  EXPECT_EQ(Classes("AppID\\" + kAppId), Sz("Orqex"));
  EXPECT_EQ(Classes("AppID\\Orqex.EXE", "AppID"), Sz(kAppId));
  EXPECT_EQ(Classes(kLibrary), Sz("Orqex 1.0 Type Library"));
  EXPECT_EQ(Classes(kLibrary + "\\0\\win64"), Sz(TestBinDir() + "\\Orqex.exe"));
  EXPECT_EQ(Classes(kLibrary + "\\HELPDIR"), Sz(TestBinDir() + "\\"));
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(RunOrqex("/UnregServer").exitCode, 0u);
    for (const std::string& key : {"AppID\\" + kAppId, std::string("AppID\\Orqex.EXE"), kLibrary})
      EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, "AppID"));
  }
}

TEST(ServerRegistration, TheModuleIsHandedOverInItsShortForm) {
  const std::string dir = MakeScratchDir("Module short form");
  const std::string longPath = dir + "\\Orqex copy.exe";
  WriteTextFile(longPath, "MZ");
  std::string modulePath;
  ASSERT_EQ(RegistrarModulePath(longPath, modulePath), S_OK);
  EXPECT_EQ(modulePath, ShortName(longPath));
  // A file the system cannot find keeps its long form.
  ASSERT_EQ(RegistrarModulePath(dir + "\\missing one.exe", modulePath), S_OK);
  EXPECT_EQ(modulePath, dir + "\\missing one.exe");
  RemoveFolderTree(dir);
}

// The registrar's script forms, applied for real: markers, quoting, numbers and variables.
TEST(ServerRegistration, UnregisteringKeepsMarkedKeysAndWhatOthersWrote) {
  const std::string base = "Software\\OrqTest\\Registrar";
  auto at = [&](auto tail, auto name) {
    return ReadRegistryValue(HKEY_CURRENT_USER, base + tail, name);
  };
  auto exists = [&](auto tail) { return RegistryKeyExists(HKEY_CURRENT_USER, base + tail); };
  SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
  PutRegistryValue(HKEY_CURRENT_USER, base + "\\Forced\\Stale", "Old", Sz("gone"));
  PutRegistryValue(HKEY_CURRENT_USER, base + "\\Doomed", "X", Sz("x"));
  const std::string script =
      "hkey_current_user { NoRemove Software { NoRemove OrqTest { Registrar {"
      " Plain = s '%MODULE%' { val Count = d 0x10 NoRemove val Kept = s 'it''s 100%%' }"
      " Shared { val Mine = s 'm' }"
      " ForceRemove Forced { val '' = d 42 }"
      " Delete Doomed"
      " NoRemove '{Stays}' = s 's' } } } }";
  const std::vector<RegistrarVariable> module = {{"Module", "C:\\it's {x}.exe"}};
  ASSERT_EQ(ApplyRegistrarScript(script, RegistrarMode::Register, module), S_OK);
  EXPECT_EQ(at("\\Plain", nullptr), Sz("C:\\it's {x}.exe"));
  EXPECT_EQ(at("\\Plain", "Count"), Dword(16));
  EXPECT_EQ(at("\\Plain", "Kept"), Sz("it's 100%"));
  EXPECT_FALSE(exists("\\Forced\\Stale"));
  EXPECT_EQ(at("\\Forced", nullptr), Dword(42));
  EXPECT_FALSE(exists("\\Doomed"));

  PutRegistryValue(HKEY_CURRENT_USER, base + "\\Shared", "Theirs", Sz("t"));
  PutRegistryValue(HKEY_CURRENT_USER, base + "\\Doomed", "X", Sz("x"));
  ASSERT_EQ(ApplyRegistrarScript(script, RegistrarMode::Unregister, module), S_OK);
  EXPECT_EQ(at("\\Plain", "Kept"), Sz("it's 100%"));
  EXPECT_EQ(at("\\Plain", "Count"), StoredValue());
  EXPECT_EQ(at("\\Shared", "Theirs"), Sz("t"));
  EXPECT_EQ(at("\\Shared", "Mine"), StoredValue());
  EXPECT_FALSE(exists("\\Forced"));
  EXPECT_TRUE(exists("\\Doomed"));  // deleted only on registering
  EXPECT_EQ(at("\\{Stays}", nullptr), Sz("s"));
  // A faulty script is refused whole, never applied in part.
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "K {";
  const std::string refused[] = {
      "HKXX { A }", "HKCR A", "HKCR { A", "HKCR { 'A }", "HKCR { A = s '%Nope%' }",
      "HKCR { A = s '%Module' }", "HKCR { val A = s 'x' }", "HKCR { A = b '00' }",
      "HKCR { A = d 4294967296 }", "HKCR { A = d 12x }", "HKCR { 'A\\B' }",
      "HKCR { '" + std::string(256, 'k') + "' }", "HKCR { A { ForceRemove val V = s 'x' } }",
      "HKCR { " + deep};
  for (const std::string& text : refused) {
    EXPECT_EQ(ApplyRegistrarScript(text, RegistrarMode::Register, module), E_INVALIDARG) << text;
  }
  EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "A") ||
               RegistryKeyExists(HKEY_CLASSES_ROOT, "K"));
  EXPECT_EQ(ApplyRegistrarScript("HKCU { Software { OrqTest {", RegistrarMode::Unregister, module),
            E_INVALIDARG);
  EXPECT_TRUE(exists("\\{Stays}"));
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrqTest");
}
}  // namespace

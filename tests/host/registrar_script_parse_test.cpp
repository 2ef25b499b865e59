#include "host/registrar_script_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
const std::vector<RegistrarVariable> kModule = {{"Module", "C:\\PROGRA~1\\it's {x}.exe"}};

std::vector<RegistrarRootBlock> Parse(const std::string& text) {
  std::vector<RegistrarRootBlock> blocks;
  std::string error;
  EXPECT_TRUE(ParseRegistrarScript(text, kModule, blocks, error)) << error;
  return blocks;
}

TEST(RegistrarScriptParse, KeysMarkersValuesAndVariablesBecomeTheTree) {
  auto blocks = Parse(
      "HKCR {\r\n NoRemove AppID {\r\n  '{1-2}' = s 'Orqex'\r\n  'Orqex.EXE' { val AppID = s "
      "'{1-2}' }\r\n }\r\n}\r\n"
      "hkey_local_machine { ForceRemove Soft = s '%MODULE%' { val N = d 0x10 NoRemove val "
      "Q = s 'it''s 100%%' Delete Old Sub { val '' = d 42 } } }");
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].root, RegistrarRoot::ClassesRoot);
  const RegistrarKey& appId = blocks[0].keys.at(0);
  EXPECT_TRUE(appId.noRemove);
  ASSERT_EQ(appId.subKeys.size(), 2u);
  EXPECT_EQ(appId.subKeys[0].name, "{1-2}");
  EXPECT_EQ(appId.subKeys[0].values.at(0).text, "Orqex");
  EXPECT_EQ(appId.subKeys[1].values.at(0).name, "AppID");

  EXPECT_EQ(blocks[1].root, RegistrarRoot::LocalMachine);
  const RegistrarKey& soft = blocks[1].keys.at(0);
  EXPECT_TRUE(soft.forceRemove);
  ASSERT_EQ(soft.values.size(), 3u);
  EXPECT_EQ(soft.values[0].name, "");  // the default value first
  EXPECT_EQ(soft.values[0].text, "C:\\PROGRA~1\\it's {x}.exe");
  EXPECT_EQ(soft.values[1].number, 16u);
  EXPECT_TRUE(soft.values[2].noRemove);
  EXPECT_EQ(soft.values[2].text, "it's 100%");
  ASSERT_EQ(soft.subKeys.size(), 2u);
  EXPECT_TRUE(soft.subKeys[0].deleteKey);
  EXPECT_EQ(soft.subKeys[1].values.at(0).number, 42u);
}

TEST(RegistrarScriptParse, FaultyScriptsAreRefusedWithTheirPlace) {
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "K {";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"HKXX { A }", "a root key expected at offset 0"},
      {"HKCR A", "\"{\" expected at offset 5"},
      {"HKCR { A", "\"}\" expected at offset 8"},
      {"HKCR { 'A }", "unclosed quote at offset 7"},
      {"HKCR { A = s '%Nope%' }", "unknown variable %Nope% at offset 13"},
      {"HKCR { A = s '%Module' }", "unclosed variable at offset 13"},
      {"HKCR { val A = s 'x' }", "a value outside a key at offset 7"},
      {"HKCR { A = b '00' }", "unsupported value type b at offset 11"},
      {"HKCR { A = d 4294967296 }", "a number beyond 32 bits at offset 13"},
      {"HKCR { A = d 12x }", "a number expected at offset 13"},
      {"HKCR { 'A\\B' }", "an invalid key name at offset 7"},
      {"HKCR { '" + std::string(256, 'k') + "' }", "an invalid key name at offset 7"},
      {"HKCR { A { ForceRemove val V = s 'x' } }", "a value cannot be removed so at offset 23"},
      {"HKCR { " + deep, "keys nested too deep at offset 102"},
  };
  for (const auto& [text, message] : rows) {
    std::vector<RegistrarRootBlock> blocks;
    std::string error;
    EXPECT_FALSE(ParseRegistrarScript(text, kModule, blocks, error)) << text;
    EXPECT_EQ(error, message) << text;
    EXPECT_TRUE(blocks.empty());
  }
}

TEST(RegistrarScriptParse, RootNamesAndNeverRemovedKeysIgnoreCase) {
  RegistrarRoot root;
  for (const char* name : {"HKCU", "hkey_current_user"}) {
    EXPECT_TRUE(FindRegistrarRoot(name, root));
    EXPECT_EQ(root, RegistrarRoot::CurrentUser);
  }
  EXPECT_TRUE(FindRegistrarRoot("HKDD", root));
  EXPECT_FALSE(FindRegistrarRoot("HKEY", root));
  EXPECT_TRUE(IsNeverRemovedKey("appid") && IsNeverRemovedKey("CLSID") &&
              IsNeverRemovedKey("TypeLib"));
  EXPECT_FALSE(IsNeverRemovedKey("Interface"));
}
}  // namespace

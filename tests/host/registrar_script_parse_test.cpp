#include "host/registrar_script_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
const std::vector<RegistrarVariable> kModule = {{"Module", "C:\\X.exe"}};

// What a script builds is shown where it is applied (tests/host/server_registration_test.cpp).
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
}  // namespace

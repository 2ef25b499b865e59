#include "host/registrar_script_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::vector<RegistrarVariable> kModule = {{"Module", "C:\\X.exe"}};

// A faulty script is refused whole, never applied in part. (Its error text goes nowhere:
// only the refusal is checked.) What a script builds is shown where it is applied
// (tests/host/server_registration_test.cpp).
TEST(RegistrarScriptParse, FaultyScriptsAreRefusedWhole) {
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "K {";
  const std::string refused[] = {
      "HKXX { A }", "HKCR A", "HKCR { A", "HKCR { 'A }", "HKCR { A = s '%Nope%' }",
      "HKCR { A = s '%Module' }", "HKCR { val A = s 'x' }", "HKCR { A = b '00' }",
      "HKCR { A = d 4294967296 }", "HKCR { A = d 12x }", "HKCR { 'A\\B' }",
      "HKCR { '" + std::string(256, 'k') + "' }", "HKCR { A { ForceRemove val V = s 'x' } }",
      "HKCR { " + deep};
  for (const std::string& text : refused) {
    std::vector<RegistrarRootBlock> blocks;
    std::string error;
    EXPECT_FALSE(ParseRegistrarScript(text, kModule, blocks, error)) << text;
    EXPECT_TRUE(blocks.empty()) << text;
  }
}
}  // namespace

// Writes the files made from the command table: the command reference page, the editor
// grammar, and the editor extension's version. With --check it writes nothing and fails when
// a checked-in file differs from what it would write.
//   orqdoc <source folder> [--check]
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/orqdoc/grammar.h"
#include "tools/orqdoc/reference_page.h"

#ifndef ORQ_VERSION
#error "ORQ_VERSION must name the project's version"
#endif

namespace {
constexpr const char* kRemakeCommand = "cmake --build --preset native --target reference";

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// The extension's manifest with its "version" member set to the project's version; empty
// when the manifest has no such member.
std::string ManifestWithVersion(const std::string& manifest) {
  const std::string key = "\"version\": \"";
  std::size_t start = manifest.find(key);
  if (start == std::string::npos) return "";
  start += key.size();
  std::size_t end = manifest.find('"', start);
  if (end == std::string::npos) return "";
  return manifest.substr(0, start) + ORQ_VERSION + manifest.substr(end);
}

// The first line where two texts differ (1-based).
std::size_t FirstDifferentLine(const std::string& a, const std::string& b) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i)
    if (a[i] == '\n') ++line;
  return line;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--check")) {
    std::cerr << "usage: orqdoc <source folder> [--check]\n";
    return 2;
  }
  const std::string root = argv[1];
  const bool check = argc == 3;
  const std::string manifestPath = "editors/vscode/package.json";
  std::string manifest;
  if (!ReadFile(root + "/" + manifestPath, manifest)) {
    std::cerr << "orqdoc: cannot read " << manifestPath << "\n";
    return 1;
  }
  const std::vector<std::pair<std::string, std::string>> files = {
      {"docs/commands.md", CommandReferencePage()},
      {"editors/vscode/syntaxes/orq.tmLanguage.json", OrqGrammarJson()},
      {manifestPath, ManifestWithVersion(manifest)},
  };
  int status = 0;
  for (const auto& [path, wanted] : files) {
    if (wanted.empty()) {
      std::cerr << "orqdoc: " << path << " has no \"version\" member\n";
      status = 1;
      continue;
    }
    std::string current;
    const bool present = ReadFile(root + "/" + path, current);
    if (present && current == wanted) continue;
    if (check) {
      std::cerr << path << (present ? " differs from the command table (first at line " +
                                          std::to_string(FirstDifferentLine(current, wanted)) + ")"
                                    : " is missing")
                << "; remake it with: " << kRemakeCommand << "\n";
      status = 1;
    } else if (!WriteFile(root + "/" + path, wanted)) {
      std::cerr << "orqdoc: cannot write " << path << "\n";
      status = 1;
    } else {
      std::cout << "orqdoc: wrote " << path << "\n";
    }
  }
  return status;
}

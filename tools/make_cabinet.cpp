// make_cabinet <cabinet> <name>=<size> ...: a cabinet of PatternBytes files, for the
// examples (1: not made).
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/cabinet_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  std::vector<CabinetEntry> entries;
  for (int i = 2; i < argc; ++i) {
    const std::string item = argv[i];
    const std::size_t equals = item.rfind('=');
    if (equals == std::string::npos) return 1;
    entries.push_back(
        {item.substr(0, equals), std::strtoul(item.c_str() + equals + 1, nullptr, 10)});
  }
  return WriteCabinet(argv[1], entries) ? 0 : 1;
}

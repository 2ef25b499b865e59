#include <windows.h>

#include <array>

#include "support/mbcs.h"

namespace {
// Lead bytes of the code page, looked up once: the scans ask for every byte.
struct LeadByteTable {
  std::array<bool, 256> lead{};
  void Load(UINT codePage) {
    lead.fill(false);
    CPINFO info{};
    if (!GetCPInfo(codePage, &info)) return;
    for (int r = 0; r + 1 < MAX_LEADBYTES && (info.LeadByte[r] || info.LeadByte[r + 1]); r += 2) {
      for (unsigned b = info.LeadByte[r]; b <= info.LeadByte[r + 1] && b < 256; ++b) lead[b] = true;
    }
  }
};

LeadByteTable& Table() {
  static LeadByteTable table = [] {
    LeadByteTable t;
    t.Load(CP_ACP);
    return t;
  }();
  return table;
}
}  // namespace

bool IsLeadByte(unsigned char c) { return Table().lead[c]; }

void SetAnsiCodePageForTesting(unsigned codePage) { Table().Load(codePage ? codePage : CP_ACP); }

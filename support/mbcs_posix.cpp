#include <array>

#include "support/mbcs.h"

namespace {
// The OS-free build has no ANSI code page; tests and fuzzers choose one. 932 is the
// double-byte page whose trail bytes include "\", "|" and "[".
std::array<bool, 256> g_lead{};
}  // namespace

bool IsLeadByte(unsigned char c) { return g_lead[c]; }

void SetAnsiCodePageForTesting(unsigned codePage) {
  g_lead.fill(false);
  if (codePage == 932) {
    for (unsigned b = 0x81; b <= 0x9F; ++b) g_lead[b] = true;
    for (unsigned b = 0xE0; b <= 0xFC; ++b) g_lead[b] = true;
  }
}

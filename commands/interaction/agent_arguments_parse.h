#pragma once
// The argument forms of PROGRESS and SETFINALSTATUS. OS-free.
#include <cstdint>
#include <string>
#include <string_view>

// PROGRESS: the first 511 bytes of the argument, trimmed, split at commas into at most four
// fields of at most 259 bytes each (not trimmed; a fifth field and beyond are ignored).
struct ProgressFields {
  std::string first, second, third, text;  // text: still to be expanded
};
ProgressFields SplitProgressArgument(std::string_view argument);

// A decimal number at the start of `text` read as atol reads it; beyond the range of a
// signed 32-bit number it stays at the nearest end of that range.
std::int32_t ReadLongNumber(std::string_view text);

// SETFINALSTATUS, given the trimmed and expanded argument: the status is the number before
// the first comma (the whole text without one), the message the trimmed rest.
// A number that does not fit a signed 32-bit status is never taken as success: one that
// fits 32 bits unsigned (4294967295, 2147500037) keeps its 32-bit pattern, which is
// negative beyond 2147483647; anything larger, or below -2147483648, gives E_FAIL.
struct FinalStatusArgument {
  std::int32_t status = 0;
  std::string message;
  bool outOfRange = false;  // the number did not fit a signed 32-bit status
  // The status field is not wholly a decimal number ("0x80004005", "12abc", empty): it was
  // read as far as it goes, which is mostly 0 (success).
  bool notANumber = false;
  std::string numberText;  // the status field as written, trimmed
};
FinalStatusArgument ParseFinalStatusArgument(std::string_view expanded);

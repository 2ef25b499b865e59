#pragma once
// The argument routines every handler uses to take its argument text apart (the plain text
// routines of support/text_routines.h come with them).
// Bounds are buffer sizes as the script format defines them: a field with a bound of
// 260 holds at most 259 bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/text_routines.h"

// Splits at the first "=" into name and value, both trimmed.
// Returns 0; 23 when there is no "=" or the name does not fit `nameBound`;
// 25 when the value does not fit `valueBound`. The value may be empty.
unsigned SplitNameValue(std::string_view text, std::size_t nameBound, std::size_t valueBound,
                        std::string& name, std::string& value);

// Takes the item up to the next `separator` from `rest` (cut to size - 1 bytes, never
// splitting a double-byte character) and advances `rest` past the separator.
// Returns false, leaving `item` empty, when `rest` is empty: that ends a caller's loop.
bool NextItem(std::string_view& rest, char separator, std::size_t size, std::string& item);

// A decimal number at the start of `text`, read the way the C library's atol reads it:
// leading white space, one optional sign, then digits up to the first other character
// (no digits read as 0). The magnitude stops growing past 2^32; `tooLarge` says so.
struct DecimalPrefix {
  bool negative = false;
  std::uint64_t magnitude = 0;
  bool tooLarge = false;
};
DecimalPrefix ReadDecimalPrefix(std::string_view text);

// `text` cut to what a buffer of `size` bytes holds (size - 1 bytes).
std::string FitToBuffer(std::string_view text, std::size_t size);

// The value of one hexadecimal digit (0-9, a-f, A-F), or -1 for any other character.
int HexDigitValue(char c);

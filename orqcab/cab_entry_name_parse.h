#pragma once
// Which names inside a cabinet OrqCab writes. A cabinet is input from outside:
// its names may try to leave the target folder. OS-free, so it is fuzzed and
// tested natively.
#include <string>
#include <string_view>

struct CabEntryName {
  bool accepted = false;
  std::string relativePath;  // the name with "/" turned into "\" (when accepted)
  std::string reason;        // why it was refused (when not)
};

// Accepts a relative path made of one or more names separated by "\" or "/".
// Refused: an empty name; an absolute name (a leading "\" or "/"); anything
// with ":" (drive letters, streams); a part that is empty or made only of dots
// and blanks ("..", "...", ". ", which the system would shorten to a step
// upwards); control characters and the characters <>"|?*; a lead byte followed
// by a byte below 0x40, which no double-byte code page pairs. Double-byte
// characters are stepped over whole, so a trail byte equal to "\" is not taken
// for a separator.
CabEntryName CheckCabEntryName(std::string_view name);


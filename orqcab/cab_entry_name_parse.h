#pragma once
// Which names inside a cabinet OrqCab writes. A cabinet is input from outside:
// its names may try to leave the target folder or reach a device. OS-free, so it
// is fuzzed and tested natively.
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
// upwards); a part ending in a dot or blank (the system would store another
// name); a part naming a device (IsDeviceName); control characters and the
// characters <>"|?*; a lead byte followed by a byte below 0x40, which no
// double-byte code page pairs. Double-byte characters are stepped over whole, so
// a trail byte equal to "\" is not taken for a separator.
CabEntryName CheckCabEntryName(std::string_view name);

// True when the system opens a device for this one name rather than a file: CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM and LPT with a digit (or a superscript one,
// 0xB9 0xB2 0xB3 in the single-byte code pages), without regard to case, also with
// any extension ("nul.txt") and with blanks before it ("NUL .txt") or after it.
bool IsDeviceName(std::string_view part);

// True when some part of `path` (separated by "\" or "/") names a device: such a
// path is never read or written as a file (it may block or swallow the data).
bool PathNamesDevice(std::string_view path);

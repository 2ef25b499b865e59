#pragma once
// SETPROGRESS's argument, "position,status text" or "position" alone, taken apart. OS-free.
#include <string>
#include <string_view>

// Bar positions the progress dialog shows.
constexpr int kProgressMin = 0;
constexpr int kProgressMax = 100;

struct ProgressArguments {
  int position = 0;        // within kProgressMin..kProgressMax
  std::string statusText;  // trimmed; empty without a ","
};

// Splits the (expanded) text at its first ",": the part before it is the position, read as
// atoi reads a number (leading blanks and a sign allowed, no digits give 0) and then held at
// the nearer end of the bar when outside it; the part after it, trimmed, is the status text.
ProgressArguments ParseProgressArguments(std::string_view text);

#pragma once
// INSTALLCAB's argument: NAME=cabinet path[,n1[,n2 ... ,n6]]. OS-free, so it is
// fuzzed and tested natively.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr std::size_t kCabSymbolNameSize = 260;
constexpr std::size_t kCabValueSize = 1040;
constexpr std::size_t kCabFieldSize = 260;

// Splits the argument text at its first "=" into the result symbol's name and
// the value still to be expanded. 0, or 51 when there is no "=", either part
// does not fit or the value is empty.
unsigned SplitInstallCabArgument(std::string_view argumentText, std::string& symbolName,
                                 std::string& value);

struct InstallCabFields {
  std::string cabinetPath;
  std::array<std::int32_t, 6> numbers{};  // a missing number is 0
};

// Splits the expanded value at commas: the cabinet path, then up to six decimal
// numbers (read like atoi: leading blanks, a sign, digits; past the 32-bit
// range they stop at its end); fields after the seventh are ignored. 0, or 51
// when the path is empty or longer than 259 bytes (a cut path would name
// another file).
unsigned SplitInstallCabFields(std::string_view expanded, InstallCabFields& fields);

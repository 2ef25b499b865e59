#pragma once
// The OS-free rules of the system information commands: the folder keywords, the texts
// made from version numbers and times.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// Where GETSPECIALDIR takes a folder from.
enum class FolderSource { None, Temp, Windows, Shell, ScriptFolder, CommonFilesValue };

struct SpecialFolder {
  const char* keyword;
  FolderSource source;
  int ntFolder;     // shell folder id on the NT family (Shell rows only)
  int win9xFolder;  // and on the 95/98/Me family
};

// The row of a keyword (without regard to case); an unknown word gives source None.
SpecialFolder FindSpecialFolder(std::string_view keyword);
constexpr int kProgramFilesFolder = 38;  // the one shell folder with a registry fallback

// The path without its one trailing backslash ("C:\" gives "C:"); a trail byte that equals
// a backslash is part of its character and stays.
std::string WithoutTrailingBackslash(std::string path);

// "%d.%02d" of a version's major and minor numbers: 5.01, 4.10.
std::string VersionText(unsigned long major, unsigned long minor);

// GETOSTYPE's answer for a "ProductType" value: "WIN32_NTS" or "WIN32_NTW", or the empty
// text for any other value.
std::string NtTypeOfProduct(std::string_view productType);

// GETTIMESTAMP's argument: "NAME" or "NAME=zone"; the time is universal for the zone "GMT".
struct TimestampRequest {
  std::string symbolName;
  bool universal = false;
};
TimestampRequest ParseTimestampRequest(std::string_view text);
// "%04d%02d%02d%02d%02d%02d": 5 December 2026, 21:30:05 gives 20261205213005.
std::string TimestampText(const std::tm& time);

// The items GETSYSTEMINFO knows (without regard to case).
bool IsSystemInfoItem(std::string_view item);

// GETSYSTEMINFO's "name=item": 51 without an "=", when a part does not fit 259 bytes or the
// item is not one it knows.
unsigned SplitSystemInfoRequest(std::string_view text, std::string& name, std::string& item);

// ISADMIN's argument, the name of the symbol it sets: 51 when the line names none.
unsigned CheckAdminArgument(std::string_view text);

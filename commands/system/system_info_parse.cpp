#include "commands/system/system_info_parse.h"

#include <cstdio>

#include "engine/errors.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

constexpr SpecialFolder kFolders[] = {
    {"TEMP", FolderSource::Temp, 0, 0},
    {"WINDOWS", FolderSource::Windows, 0, 0},
    {"PROGRAM_FILES", FolderSource::Shell, kProgramFilesFolder, kProgramFilesFolder},
    {"DESKTOP", FolderSource::Shell, 16, 16},
    {"DOCUMENTS", FolderSource::Shell, 46, 46},
    {"STARTMENU", FolderSource::Shell, 11, 11},
    {"COMMON_STARTMENU", FolderSource::Shell, 22, 11},
    {"COMMON_STARTMENU_PROGRAMS", FolderSource::Shell, 23, 2},
    {"STARTUP", FolderSource::Shell, 7, 7},
    {"COMMON_STARTUP", FolderSource::Shell, 24, 7},
    {"CURRENT_ORQSCRIPT", FolderSource::ScriptFolder, 0, 0},
    {"COMMONPROGRAM_FILES", FolderSource::CommonFilesValue, 0, 0},
};
}  // namespace

SpecialFolder FindSpecialFolder(std::string_view keyword) {
  for (const SpecialFolder& row : kFolders) {
    if (SameWord(keyword, row.keyword)) return row;
  }
  return {"", FolderSource::None, 0, 0};
}

std::string WithoutTrailingBackslash(std::string path) {
  if (!path.empty() && FindLastChar(path, '\\') == path.size() - 1) path.pop_back();
  return path;
}

std::string VersionText(unsigned long major, unsigned long minor) {
  std::string text(48, '\0');
  text.resize(
      static_cast<std::size_t>(std::snprintf(text.data(), text.size(), "%lu.%02lu", major, minor)));
  return text;
}

std::string NtTypeOfProduct(std::string_view productType) {
  if (SameWord(productType, "LanmanNT") || SameWord(productType, "ServerNT")) return "WIN32_NTS";
  if (SameWord(productType, "WinNT")) return "WIN32_NTW";
  return "";
}

TimestampRequest ParseTimestampRequest(std::string_view text) {
  TimestampRequest request;
  std::size_t eq = FindChar(text, '=');
  request.symbolName = TrimmedCopy(text.substr(0, eq));
  if (eq != std::string_view::npos)
    request.universal = SameWord(TrimmedCopy(text.substr(eq + 1)), "GMT");
  return request;
}

std::string TimestampText(const std::tm& time) {
  std::string text(96, '\0');  // six numbers of at most 11 characters each
  int length =
      std::snprintf(text.data(), text.size(), "%04d%02d%02d%02d%02d%02d", time.tm_year + 1900,
                    time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

bool IsSystemInfoItem(std::string_view item) {
  for (const char* known :
       {"IP_ADDRESS", "EMAIL_ADDRESS", "LOGIN_NAME", "COMPUTER_NAME", "DOMAIN_NAME"}) {
    if (SameWord(item, known)) return true;
  }
  return false;
}

unsigned SplitSystemInfoRequest(std::string_view text, std::string& name, std::string& item) {
  constexpr std::size_t kFieldSize = 260;
  if (SplitNameValue(text, kFieldSize, kFieldSize, name, item) != 0 || !IsSystemInfoItem(item)) {
    return kErrInvalidSwitch;
  }
  return 0;
}

unsigned CheckAdminArgument(std::string_view text) {
  return text.empty() ? unsigned{kErrInvalidSwitch} : 0u;
}

#include "engine/keywords.h"

#include <array>
#include <string>
#include <unordered_map>

namespace {
constexpr std::array<std::string_view, kCommandIdCount> kWords = {
    "",                    "CALL",             "CONTINUEIF",        "FINDREGKEY",
    "GETREGVALUE",         "SETREGVALUE",      "SETWORKDIR",        "GETINIFILEVALUE",
    "SETINIFILEVALUE",     "DELETEINIFILESECTION", "RETURN",        "RETURNIF",
    "SET",                 "GETFILEVERSION",   "COPYFILEAS",        "CLOSEAPP",
    "RUN",                 "RUNWAIT",          "RUNHIDE",           "STOPSERVICE",
    "STARTSERVICE",        "CANALLFILESBECOPIED", "CREATEREGKEY",   "DELETEREGVALUE",
    "DELETEREGKEY",        "DELETEEMPTYREGKEY", "ISREGKEYEMPTY",    "DELETEREGKEYRECURSIVE",
    "FINDREGVALUE",        "ISAPPRUNNING",     "ISSERVICERUNNING",  "GETOSTYPE",
    "GETOSVERSION",        "GETWINDOWSDIR",    "GETSPECIALDIR",     "STRIPFILENAME",
    "FILEEXISTS",          "ISCURRENTFILEOLDER", "FINDINIFILEVALUE", "ISFILELOCKED",
    "GETPROCESSORTYPE",    "WAITFORTIME",      "WAITTILLUNLOCKED",  "CREATEDIR",
    "REMOVEDIR",           "REMOVEDIRRECURSIVE", "COPYFILES",       "DELFILES",
    "FILECIO",             "FILECOW",          "SHOWMSG",           "GOTOIF",
    "CALLIF",              "PROGRESS",         "INSTALLCAB",        "WAITFORWINDOWCLOSE",
    "EXTENDPATH",          "YESNO",            "KILLPROCESS",       "STARTUSERAPP",
    "CLOSEUSERAPP",        "ADDSTARTMENU",     "GETSTARTMENUDIR",   "SETREBOOTFLAG",
    "SHELLEXECUTE",        "SETFINALSTATUS",   "STARTPROGRESSDLG",  "SETPROGRESS",
    "ENDPROGRESSDLG",      "GETPARAM",         "ISADMIN",           "RESETLASTUPDATE",
    "GETORQEXVERSION",     "ISPROCESSRUNNING", "CREATESPECIALDIR",  "DELETEONEFILE",
    "COPYONEFILE",         "PROMPTREBOOT",     "GETTIMESTAMP",      "CONVERTTOSHORTPATHNAME",
    "GETSYSTEMINFO",       "GENERATEGUID",     "CREATESERVICE",     "DELETESERVICE",
    "GETMESSAGEFROMID",    "RUNHIDEWAIT",
};

const std::unordered_map<std::string_view, CommandId>& WordIndex() {
  static const auto index = [] {
    std::unordered_map<std::string_view, CommandId> map;
    for (unsigned id = 1; id < kCommandIdCount; ++id) map.emplace(kWords[id], CommandId(id));
    return map;
  }();
  return index;
}
}  // namespace

std::string_view KeywordOf(unsigned id) { return id < kCommandIdCount ? kWords[id] : ""; }

CommandId LookupCommandWord(std::string_view word) {
  if (word.empty() || word.size() > 32) return kCmdUnknown;
  std::string upper(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  auto it = WordIndex().find(upper);
  return it == WordIndex().end() ? kCmdUnknown : it->second;
}

#pragma once
// Taking the argument texts of the file-copy commands apart (no system calls).
#include <string>
#include <string_view>

// The names of a FILECIO or FILECOW line, "source[,target]": the text (at most 519 bytes)
// is cut at its first comma and both parts are trimmed; a single name is both. The text
// is taken as written, never expanded.
struct ListedFileNames {
  std::string source;
  std::string target;
};
// False when a name is empty (",target", "source," or an empty line): there is nothing
// to copy from, or the target would be the working folder itself.
bool SplitListedFile(std::string_view argumentText, ListedFileNames& names);

// COPYONEFILE's "source,target", cut at the first comma and trimmed; false without a comma.
bool SplitSourceTarget(std::string_view text, std::string& source, std::string& target);

// CANALLFILESBECOPIED's "NAME=path,path,...": the first "=" must lie within the first 260
// bytes of the text (at most 511 bytes are read); the name before it is trimmed, the list
// after it is taken as written. False when there is no such "=".
bool SplitNameAndList(std::string_view text, std::string& name, std::string& list);

// The next item of such a list (trimmed), advancing `rest` past its comma. False at the
// end of the list or at an empty item, which both end the walk. An item longer than 259
// bytes is returned whole (`fits` false) rather than cut into another file's name.
bool NextListedPath(std::string_view& rest, std::string& item, bool& fits);

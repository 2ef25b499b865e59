#pragma once
// The argument forms of the INI commands, taken apart without the OS:
//   NAME=file,section,key     the reading commands (the key may hold further commas)
//   file,section,key=value    SETINIFILEVALUE (the value may hold "=" and ",")
// Each field must fit its buffer; fields are trimmed after they are cut out.
#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t kIniFieldSize = 260;     // file, section, key, value: 259 bytes
constexpr std::size_t kIniMessageSize = 1024;  // GETMESSAGEFROMID's name and value

struct IniReadSpec {
  std::string symbolName;
  std::string fileName;
  std::string section;
  std::string key;
};

// `nameSize` is the symbol name's buffer (260, or 1024 for GETMESSAGEFROMID).
// Returns 0, 23 (no "=" within the name's buffer), 27 (no "," after the file name within
// 259 bytes), 26 (no "," after the section within 259 bytes) or 25 (key longer than 259).
unsigned ParseIniReadSpec(std::string_view text, std::size_t nameSize, IniReadSpec& fields);

struct IniWriteSpec {
  std::string fileName;
  std::string section;
  std::string key;
  std::string value;
};

// DELETEINIFILESECTION's "file,section", both trimmed. 51 when the text reaches 260 bytes
// (a cut section name could name another section) or has no comma.
unsigned ParseIniSectionSpec(std::string_view text, std::string& fileName, std::string& section);

// Returns 0, 27 (file name), 26 (section), 25 (no "=" after the key within 259 bytes) or
// 24 (value longer than 259 bytes).
unsigned ParseIniWriteSpec(std::string_view text, IniWriteSpec& fields);

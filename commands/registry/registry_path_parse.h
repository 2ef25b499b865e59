#pragma once
// The text form in which scripts name registry keys and values:
//   ROOT\sub-key                 a key ("HKLM\" alone is the root itself)
//   NAME=ROOT\sub-key,value      a value to read into the symbol NAME
//   ROOT\sub-key,value=data      a value to write; data may start with "/REG_SZ:" or
//                                "/REG_DWORD:"
// Everything here is free of the OS: a root is named by an enum, the commands map it to a
// key handle. Scans step over double-byte characters whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class RegistryRoot { LocalMachine, ClassesRoot, CurrentUser, Users, CurrentConfig };

// Every parsed field must fit a 260-byte field: at most 259 bytes of text.
constexpr std::size_t kRegistryFieldSize = 260;
constexpr std::size_t kRootPrefixLength = 5;  // "HKLM\" and its kin

// The only two value types scripts write (their numbers in the registry).
constexpr std::uint32_t kRegistryTypeString = 1;  // REG_SZ
constexpr std::uint32_t kRegistryTypeDword = 4;   // REG_DWORD

// Access the commands ask for.
constexpr std::uint32_t kAccessRead = 0x20019;       // KEY_READ: test a key, read a value
constexpr std::uint32_t kAccessWrite = 0x20006;      // KEY_WRITE: create, delete a value
constexpr std::uint32_t kAccessReadWrite = 0x2001F;  // both: SETREGVALUE's first open

// Compares the first five bytes, case-sensitively, with "HKLM\", "HKCR\", "HKCU\", "HKUS\"
// and "HKCC\". 0 and `root` set, or 20 (kErrRegRootMissing). Does not trim.
unsigned ParseRootPrefix(std::string_view keyPath, RegistryRoot& root);

// What follows the five prefix bytes (empty for "HKLM\" alone). Only for a path that
// ParseRootPrefix accepted.
inline std::string_view SubKeyOf(std::string_view keyPath) {
  return keyPath.substr(kRootPrefixLength);
}

struct ValueReadSpec {
  std::string symbolName;
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::string subKey;
  std::string valueName;  // empty: the key's unnamed default value
};

// NAME=ROOT\sub-key,value name. Every field trimmed; further commas belong to the value
// name. Returns 0, 23 (no "=" within 259 bytes), 20 (root), 22 (no "," after the sub-key
// within 259 bytes) or 25 (a value name longer than 259 bytes: refused, never cut, so a
// command never reads a different value than the one named).
unsigned ParseValueReadSpec(std::string_view text, ValueReadSpec& fields);

struct ValueWriteSpec {
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::string subKey;
  std::string valueName;
  std::string data;  // the type tag already taken off
  std::uint32_t type = kRegistryTypeString;
};

// ROOT\sub-key,value name=data. Sub-key, value name and data trimmed, then the type tag
// is taken off the data. Returns 0, 20 (root), 22 (no "," within 259 bytes), 21 (no "="
// after the value name within 259 bytes) or 25 (data longer than 259 bytes: refused, never
// cut, so a shortened value is never written).
unsigned ParseValueWriteSpec(std::string_view text, ValueWriteSpec& fields);

// Takes a leading "/REG_SZ:" or "/REG_DWORD:" (any case) off `data` and returns the type
// it names. The text after the ":" is not trimmed again. Anything else, "/REG_QWORD:5"
// or "C:\Temp" for instance, leaves the data whole and is a string.
std::uint32_t TakeTypeTag(std::string& data);

// "path,name" (ROOT\key,value for DELETEREGVALUE, ROOT\parent,key for CREATEREGKEY,
// file,section for DELETEINIFILESECTION): split at the first ",", both parts trimmed.
// Returns 0, or 51 (kErrInvalidSwitch) when there is no "," or the path is longer than 259
// bytes: a cut path would name another key or file.
unsigned SplitPathAndName(std::string_view text, std::string& path, std::string& name);

// "name=root\key" of FINDREGKEY: 23 or 25 from the name split, 20 without a root prefix.
struct KeyTestSpec {
  std::string symbolName;
  std::string keyPath;  // trimmed, root prefix included
  RegistryRoot root = RegistryRoot::LocalMachine;
};
unsigned ParseKeyTestSpec(std::string_view text, KeyTestSpec& fields);
// The same form for ISREGKEYEMPTY, which fails any split with 51.
unsigned ParseEmptyKeyTestSpec(std::string_view text, KeyTestSpec& fields);

// CREATEREGKEY's "root\parent,key[,...]": 20 when there is no root prefix, 51 when there
// is no comma or the new key's name is empty or longer than 259 bytes.
struct NewKeySpec {
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::string parentPath;  // trimmed, root prefix included
  std::string childName;
};
unsigned ParseNewKeySpec(std::string_view text, NewKeySpec& fields);

// True for a key path below its root that names the root itself ("", "\", blanks).
bool NamesRootItself(const std::string& subKey);

// REG_DWORD data text: leading white space, one optional sign, decimal digits up to the
// first other character; no digits give 0; there is no hexadecimal form ("0x10" is 0).
// Numbers from -2147483648 to 4294967295 are stored as their 32-bit pattern (-1 is all
// bits set, 4294967295 too). A number outside that range is refused (false): it has no
// 32-bit form, and writing a wrapped or clamped number would store something else than
// the script says.
bool DwordFromText(std::string_view text, std::uint32_t& value);

// A REG_DWORD read back: the decimal text of the 32 bits taken as signed ("-1" for
// 0xFFFFFFFF).
std::string DwordToText(std::uint32_t value);

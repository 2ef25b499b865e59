#pragma once
// The registrar script format of the program's registry script resource: root keys, each
// with a block of keys in braces; a key may carry a default value ("Name = s 'text'"),
// named values ("val Name = s 'text'" or "= d 42") and a block of sub-keys; the markers
// "NoRemove", "ForceRemove" and "Delete" before a key; "%NAME%" replaced by a variable's
// value and "%%" by one "%". OS-free: the script becomes a tree that the registry side
// applies (host/registrar.h).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class RegistrarRoot {
  ClassesRoot,
  CurrentUser,
  LocalMachine,
  Users,
  PerformanceData,
  DynData,
  CurrentConfig
};

struct RegistrarValue {
  std::string name;  // empty: the key's default value
  bool isNumber = false;
  std::string text;          // 's': the string
  std::uint32_t number = 0;  // 'd': the number
  bool noRemove = false;     // kept on unregistration
};

struct RegistrarKey {
  std::string name;
  bool noRemove = false;               // never deleted on unregistration
  bool forceRemove = false;            // deleted with everything below it before it is written
  bool deleteKey = false;              // deleted (with everything below it) on registration
  std::vector<RegistrarValue> values;  // the default value, if any, comes first
  std::vector<RegistrarKey> subKeys;
};

struct RegistrarRootBlock {
  RegistrarRoot root = RegistrarRoot::ClassesRoot;
  std::vector<RegistrarKey> keys;
};

struct RegistrarVariable {
  std::string name;  // compared without regard to case
  std::string value;
};

// Bounds of what a script may hold: a key name as the registry allows it, a nesting that
// cannot exhaust the stack.
constexpr std::size_t kRegistrarKeyNameMax = 255;
constexpr std::size_t kRegistrarDepthMax = 32;

// Parses `text` into root blocks. Variables are replaced inside each word or quoted text
// after the text has been cut into tokens, so a value (a path holding a quote or a brace)
// can never change the script's structure. False with `error` saying what and where
// (a byte offset) on any fault; `blocks` is then empty.
bool ParseRegistrarScript(std::string_view text, const std::vector<RegistrarVariable>& variables,
                          std::vector<RegistrarRootBlock>& blocks, std::string& error);

// The root named by a full or short name ("HKEY_CLASSES_ROOT", "HKCR", ...), any case.
bool FindRegistrarRoot(std::string_view name, RegistrarRoot& root);

// Unregistration never deletes these keys even when they are not marked "NoRemove".
bool IsNeverRemovedKey(std::string_view name);

#pragma once
// Opening the keys that scripts name. Every opened key is owned and closed when it goes;
// a root key handed back for an empty sub-key path is used but never closed.
#include <string>

#include "commands/registry/registry_path_parse.h"
#include "support/win_handles.h"

HKEY RootKeyHandle(RegistryRoot root);

class OpenedKey {
 public:
  OpenedKey() = default;
  OpenedKey(HKEY parent, HKEY opened);
  HKEY Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  UniqueRegKey owner_;  // empty when `handle_` is the parent itself
  HKEY handle_ = nullptr;
};

// RegOpenKeyExA with `access`; an empty key on failure.
OpenedKey OpenKey(HKEY parent, const std::string& subKey, REGSAM access);
// The old-style open without an access mask (RegOpenKeyA): the most access allowed.
OpenedKey OpenKeyMaximumAccess(HKEY parent, const std::string& subKey);

// Deletes parent\subKey with every sub-key and value below it, as far as the registry
// allows; a key that keeps a child or a value stays, and so do the keys above it.
void DeleteKeyTree(HKEY parent, const std::string& subKey);


#include "commands/registry/registry_keys.h"

#include <algorithm>

#include <utility>

static_assert(kAccessRead == KEY_READ && kAccessWrite == KEY_WRITE &&
                  kAccessReadWrite == (KEY_READ | KEY_WRITE),
              "the access masks scripts rely on");
static_assert(kRegistryTypeString == REG_SZ && kRegistryTypeDword == REG_DWORD, "value types");

namespace {
constexpr DWORD kSubKeyNameSize = 512;  // 255 characters, each up to two bytes, and a zero
// Value names may hold up to 16383 characters; a shorter buffer would stop the value walk
// at the first long name and leave the whole tree standing.
constexpr DWORD kValueNameSize = 16384;
}  // namespace

HKEY RootKeyHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

OpenedKey::OpenedKey(HKEY parent, HKEY opened) : handle_(opened) {
  if (opened != parent) owner_.Reset(opened);
}

OpenedKey OpenKey(HKEY parent, const std::string& subKey, REGSAM access) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(parent, subKey.c_str(), 0, access, &opened) != ERROR_SUCCESS) return {};
  return OpenedKey(parent, opened);
}

OpenedKey OpenKeyMaximumAccess(HKEY parent, const std::string& subKey) {
  HKEY opened = nullptr;
  if (RegOpenKeyA(parent, subKey.c_str(), &opened) != ERROR_SUCCESS) return {};
  return OpenedKey(parent, opened);
}

// Children are enumerated from the highest index down, so removing one never moves the
// ones still to be visited; each walk ends at the first index the registry refuses.
void DeleteKeyTree(HKEY parent, const std::string& subKey) {
  OpenedKey key = OpenKeyMaximumAccess(parent, subKey);
  if (!key) return;
  DWORD subKeyCount = 0, maxSubKeyLength = 0, valueCount = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subKeyCount, &maxSubKeyLength, nullptr,
                       &valueCount, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }

  // The key's own longest name decides the buffer (never less than the longest legal name
  // in a double-byte code page), so no name ends the walk early.
  const DWORD subKeyNameSize = std::max<DWORD>(kSubKeyNameSize, 2 * maxSubKeyLength + 2);
  std::string name(subKeyNameSize, '\0');
  for (DWORD i = subKeyCount; i-- > 0;) {
    if (RegEnumKeyA(key.Get(), i, name.data(), subKeyNameSize) != ERROR_SUCCESS) break;
    DeleteKeyTree(key.Get(), name.c_str());
    --subKeyCount;  // a child that stayed is caught by the key's own deletion failing
  }

  name.assign(kValueNameSize, '\0');
  for (DWORD j = valueCount; j-- > 0;) {
    DWORD nameLength = kValueNameSize;
    if (RegEnumValueA(key.Get(), j, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (RegDeleteValueA(key.Get(), name.c_str()) == ERROR_SUCCESS) --valueCount;
  }

  if (subKeyCount != 0 || valueCount != 0) return;
  key = OpenedKey();
  RegDeleteKeyA(parent, subKey.c_str());
}

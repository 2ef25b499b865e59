#include "host/registrar.h"

#include <windows.h>

#include <shlwapi.h>

#include "support/win_handles.h"

namespace {
constexpr DWORD kShortPathBufferSize = 260;

HKEY RootHandle(RegistrarRoot root) {
  switch (root) {
    case RegistrarRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistrarRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistrarRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistrarRoot::Users:
      return HKEY_USERS;
    case RegistrarRoot::PerformanceData:
      return HKEY_PERFORMANCE_DATA;
    case RegistrarRoot::DynData:
      return HKEY_DYN_DATA;
    case RegistrarRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CLASSES_ROOT;
}

long FromWin32(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

LONG WriteValue(HKEY key, const RegistrarValue& value) {
  const char* name = value.name.empty() ? nullptr : value.name.c_str();
  if (value.isNumber) {
    DWORD number = value.number;
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number);
  }
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                        static_cast<DWORD>(value.text.size() + 1));
}

LONG DeleteTree(HKEY parent, const std::string& name) {
  LONG rc = SHDeleteKeyA(parent, name.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

long RegisterKey(HKEY parent, const RegistrarKey& entry) {
  if (entry.deleteKey) return FromWin32(DeleteTree(parent, entry.name));
  if (entry.forceRemove) {
    if (long hr = FromWin32(DeleteTree(parent, entry.name)); FAILED(hr)) return hr;
  }
  UniqueRegKey key;
  LONG rc = RegCreateKeyExA(parent, entry.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr);
  if (rc != ERROR_SUCCESS) return FromWin32(rc);
  for (const RegistrarValue& value : entry.values) {
    if (long hr = FromWin32(WriteValue(key.Get(), value)); FAILED(hr)) return hr;
  }
  for (const RegistrarKey& sub : entry.subKeys) {
    if (long hr = RegisterKey(key.Get(), sub); FAILED(hr)) return hr;
  }
  return S_OK;
}

bool IsEmptyKey(HKEY key) {
  DWORD subKeys = 0, values = 0;
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subKeys == 0 && values == 0;
}

// Goes on after a failure; returns the first one.
long UnregisterKey(HKEY parent, const RegistrarKey& entry) {
  if (entry.deleteKey) return S_OK;
  const bool keep = entry.noRemove || IsNeverRemovedKey(entry.name);
  if (entry.forceRemove && !keep) return FromWin32(DeleteTree(parent, entry.name));
  UniqueRegKey key;
  LONG rc = RegOpenKeyExA(parent, entry.name.c_str(), 0, KEY_READ | KEY_WRITE, key.Put());
  if (rc == ERROR_FILE_NOT_FOUND) return S_OK;
  if (rc != ERROR_SUCCESS) return FromWin32(rc);
  long first = S_OK;
  for (const RegistrarKey& sub : entry.subKeys) {
    long hr = UnregisterKey(key.Get(), sub);
    if (SUCCEEDED(first)) first = hr;
  }
  if (keep) return first;
  for (const RegistrarValue& value : entry.values) {
    if (value.noRemove) continue;
    rc = RegDeleteValueA(key.Get(), value.name.empty() ? nullptr : value.name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && SUCCEEDED(first))
      first = FromWin32(rc);
  }
  const bool empty = IsEmptyKey(key.Get());
  key.Reset();
  if (empty) {
    rc = RegDeleteKeyA(parent, entry.name.c_str());
    if (rc != ERROR_SUCCESS && SUCCEEDED(first)) first = FromWin32(rc);
  }
  return first;
}
}  // namespace

long ApplyRegistrarScript(std::string_view script, RegistrarMode mode,
                          const std::vector<RegistrarVariable>& variables) {
  std::vector<RegistrarRootBlock> blocks;
  std::string error;
  if (!ParseRegistrarScript(script, variables, blocks, error)) return E_INVALIDARG;
  long first = S_OK;
  for (const RegistrarRootBlock& block : blocks) {
    for (const RegistrarKey& key : block.keys) {
      if (mode == RegistrarMode::Register) {
        if (long hr = RegisterKey(RootHandle(block.root), key); FAILED(hr)) return hr;
      } else {
        long hr = UnregisterKey(RootHandle(block.root), key);
        if (SUCCEEDED(first)) first = hr;
      }
    }
  }
  return first;
}

long RegistrarModulePath(const std::string& longPath, std::string& modulePath) {
  std::string shortPath(kShortPathBufferSize, '\0');
  DWORD length = GetShortPathNameA(longPath.c_str(), shortPath.data(), kShortPathBufferSize);
  if (length == 0) {
    modulePath = longPath;
    return S_OK;
  }
  // The buffer is too small when the result (or the size it asks for) fills it.
  if (length >= kShortPathBufferSize) return E_OUTOFMEMORY;
  shortPath.resize(length);
  modulePath = shortPath;
  return S_OK;
}

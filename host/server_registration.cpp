// "RegServer" / "UnregServer": the AppID entry from the registry script resource and the
// program's own type library.
#include "host/server_registration.h"

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

#include "host/registrar.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
constexpr WORD kRegistryScriptId = 1001;

// The registry script resource of the running program (empty when it is missing).
std::string RegistryScript() {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(kRegistryScriptId), "REGISTRY");
  HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, SizeofResource(self, found)) : std::string();
}

long ApplyRegistryScript(RegistrarMode mode) {
  std::string modulePath;
  if (long hr = RegistrarModulePath(ProgramFilePath(), modulePath); FAILED(hr)) return hr;
  return ApplyRegistrarScript(RegistryScript(), mode, {{"Module", modulePath}});
}

// The type library held in the program file, else in a ".tlb" file of the program's name
// beside it. `libraryPath` receives the file it came from.
HRESULT LoadOwnTypeLib(ComPtr<ITypeLib>& library, std::string& libraryPath) {
  libraryPath = ProgramFilePath();
  HRESULT hr = LoadTypeLibEx(WideFromAnsi(libraryPath).c_str(), REGKIND_NONE, library.Put());
  if (SUCCEEDED(hr)) return hr;
  // The extension of the file name only: a "." in a folder name is not one.
  std::size_t slash = FindLastChar(libraryPath, '\\');
  std::size_t dot = FindLastChar(libraryPath, '.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    libraryPath.erase(dot);
  }
  libraryPath += ".tlb";
  return LoadTypeLibEx(WideFromAnsi(libraryPath).c_str(), REGKIND_NONE, library.Put());
}

// The library path cut after its last "\", "/" or ":".
std::string HelpFolder(const std::string& libraryPath) {
  std::size_t cut = FindAnyChar(libraryPath, "\\/:");
  for (std::size_t next = cut; next != std::string::npos;
       next = FindAnyChar(libraryPath, "\\/:", next + 1)) {
    cut = next;
  }
  return cut == std::string::npos ? std::string() : libraryPath.substr(0, cut + 1);
}

using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
}  // namespace

long RegisterLocalServer() {
  // The script's outcome does not decide the registration's: the type library does.
  ApplyRegistryScript(RegistrarMode::Register);
  ComPtr<ITypeLib> library;
  std::string libraryPath;
  if (HRESULT hr = LoadOwnTypeLib(library, libraryPath); FAILED(hr)) return hr;
  std::wstring path = WideFromAnsi(libraryPath);
  std::wstring help = WideFromAnsi(HelpFolder(libraryPath));
  return RegisterTypeLib(library.Get(), path.data(), help.empty() ? nullptr : help.data());
}

long UnregisterLocalServer() {
  ApplyRegistryScript(RegistrarMode::Unregister);
  ComPtr<ITypeLib> library;
  std::string libraryPath;
  if (FAILED(LoadOwnTypeLib(library, libraryPath))) return S_OK;
  // Looked up by name, so that a system without it still starts the program.
  UniqueModule oleaut(LoadLibraryA("oleaut32.dll"));
  auto unregister = oleaut ? reinterpret_cast<UnRegisterTypeLibFunction>(
                                 GetProcAddress(oleaut.Get(), "UnRegisterTypeLib"))
                           : nullptr;
  TLIBATTR* attributes = nullptr;
  if (unregister && SUCCEEDED(library->GetLibAttr(&attributes))) {
    unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
               attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
  }
  return S_OK;
}

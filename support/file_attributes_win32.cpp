#include "support/file_attributes.h"

UniqueKernelHandle OpenForAttributes(const std::string& path) {
  return UniqueKernelHandle(CreateFileA(
      path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

namespace {
// Looked up at run time: the program also runs where the function is missing.
bool SetInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
  using SetInfoFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  static const auto setInfo = reinterpret_cast<SetInfoFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle"));
  return setInfo && setInfo(file, kind, info, size);
}
}  // namespace

bool PutAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 stay as they are
  basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
  return SetInformation(file, FileBasicInfo, &basic, sizeof basic);
}

bool RemoveOnClose(HANDLE file) {
  FILE_DISPOSITION_INFO remove{TRUE};
  return SetInformation(file, FileDispositionInfo, &remove, sizeof remove);
}

#include "commands/registry/clear_ini_section.h"

#include <windows.h>

#include <algorithm>

#include "commands/registry/ini_section_text_parse.h"
#include "engine/errors.h"
#include "support/win_handles.h"

namespace {
constexpr DWORD kChunkSize = 1 << 20;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart >= 0x7FFFFFFF) return false;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunkSize));
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool WriteAllFromStart(HANDLE file, const std::string& bytes) {
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunkSize));
    DWORD wrote = 0;
    if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return SetEndOfFile(file) != FALSE;
}


// A file that starts with a UTF-16 byte-order mark is read and written by the profile
// functions as UTF-16; its lines are not single-byte lines.
bool IsUtf16Text(const std::string& bytes) {
  return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                               (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}
}  // namespace

unsigned ClearIniSection(const std::string& section, const std::string& path) {
  std::string original;
  if (!ReadWholeFile(path, original) || original.empty()) return kErrInvalidSwitch;
  if (IsUtf16Text(original)) return kErrIniWrite;
  std::string text = RemoveSectionEntries(original, section);
  if (text.empty()) return kErrInvalidSwitch;

  // Opening for writing fails for a read-only or locked file before anything is changed.
  UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return kErrInvalidSwitch;
  if (!WriteAllFromStart(file.Get(), text)) {
    // The old bytes fit where they were: putting them back needs no new space.
    WriteAllFromStart(file.Get(), original);
    return kErrInvalidSwitch;
  }
  FlushFileBuffers(file.Get());
  return 0;
}

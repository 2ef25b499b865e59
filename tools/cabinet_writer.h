#pragma once
// A small cabinet writer over the system's cabinet library (FCI of
// cabinet.dll), so that test and benchmark cabinets are made when needed and
// none is kept in the sources. Every file's bytes follow a pattern drawn from
// its name and size, so a reader can check what it extracted without the
// original.
#include <windows.h>
// after windows.h
#include <fci.h>
#include <fcntl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct CabinetEntry {
  std::string name;  // the name stored in the cabinet, as given ("..\x" included)
  std::size_t size = 0;
};

// The bytes of an entry: a pattern of its name and its position.
inline std::string PatternBytes(const std::string& name, std::size_t size) {
  unsigned seed = 2166136261u;
  for (unsigned char c : name) seed = (seed ^ c) * 16777619u;
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((seed >> ((i % 4) * 8)) + i * 7 + i / 251);
  }
  return bytes;
}

namespace cabinet_writer {
inline FNFCIALLOC(Allocate) { return std::malloc(cb); }
inline FNFCIFREE(Free) { std::free(memory); }
inline FNFCIOPEN(Open) {
  DWORD access = (oflag & _O_RDWR)     ? GENERIC_READ | GENERIC_WRITE
                 : (oflag & _O_WRONLY) ? GENERIC_WRITE
                                       : GENERIC_READ;
  DWORD disposition =
      (oflag & _O_CREAT) ? ((oflag & _O_EXCL) ? CREATE_NEW : CREATE_ALWAYS) : OPEN_EXISTING;
  HANDLE file = CreateFileA(pszFile, access, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return reinterpret_cast<INT_PTR>(file);
}
inline FNFCIREAD(Read) {
  DWORD done = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(hf), memory, cb, &done, nullptr))
    return static_cast<UINT>(-1);
  return done;
}
inline FNFCIWRITE(Write) {
  DWORD done = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(hf), memory, cb, &done, nullptr))
    return static_cast<UINT>(-1);
  return done;
}
inline FNFCICLOSE(Close) { return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1; }
inline FNFCISEEK(Seek) {
  DWORD moved = SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype);
  return moved == INVALID_SET_FILE_POINTER ? -1 : static_cast<long>(moved);
}
inline FNFCIDELETE(Delete) { return DeleteFileA(pszFile) ? 0 : -1; }
inline FNFCIFILEPLACED(Placed) { return 0; }
inline FNFCIGETTEMPFILE(TempFile) {
  std::string folder(MAX_PATH, '\0'), name(MAX_PATH, '\0');
  folder.resize(GetTempPathA(MAX_PATH, folder.data()));
  if (!GetTempFileNameA(folder.c_str(), "fci", 0, name.data())) return FALSE;
  name.resize(std::strlen(name.c_str()));
  DeleteFileA(name.c_str());  // FCI creates it
  if (name.size() >= static_cast<std::size_t>(cbTempName)) return FALSE;
  std::memcpy(pszTempName, name.c_str(), name.size() + 1);
  return TRUE;
}
// The names of a set: the first cabinet's name, then "2", "3" ... before its extension.
struct SetNames {
  std::string stem, extension;
  bool Name(CCAB& cab) const;
};
inline FNFCIGETNEXTCABINET(NextCabinet) {
  return pv && static_cast<const SetNames*>(pv)->Name(*pccab);
}
inline FNFCISTATUS(Status) { return 0; }
inline FNFCIGETOPENINFO(OpenInfo) {
  HANDLE file = CreateFileA(pszName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  FILETIME written, local;
  GetFileTime(file, nullptr, nullptr, &written);
  FileTimeToLocalFileTime(&written, &local);
  FileTimeToDosDateTime(&local, pdate, ptime);
  *pattribs = _A_ARCH;
  return reinterpret_cast<INT_PTR>(file);
}

template <std::size_t N>
inline bool CopyInto(char (&field)[N], const std::string& text) {
  if (text.size() >= N) return false;
  std::memcpy(field, text.c_str(), text.size() + 1);
  return true;
}

inline bool SetNames::Name(CCAB& cab) const {
  return CopyInto(cab.szCab, stem + (cab.iCab > 1 ? std::to_string(cab.iCab) : "") + extension);
}
}  // namespace cabinet_writer

// Writes `cabinetPath` (a folder and a file name) holding `entries`, compressed
// with MSZIP, in one cabinet of any size; or, with `maxCabinetBytes`, in a set of
// cabinets of about that size each (`cabinetPath`, then the same name with "2", "3"
// ... before the extension), where a file may begin in one and end in the next.
// False on any failure.
inline bool WriteCabinet(const std::string& cabinetPath, const std::vector<CabinetEntry>& entries,
                         unsigned long maxCabinetBytes = 0) {
  using namespace cabinet_writer;
  CCAB cab{};
  cab.cb = maxCabinetBytes ? maxCabinetBytes : 0x7FFFFFFF;
  cab.cbFolderThresh = 0x7FFFFFFF;
  cab.iCab = 1;
  cab.setID = 1;
  const std::size_t slash = cabinetPath.rfind('\\');
  const std::string folder = slash == std::string::npos ? "" : cabinetPath.substr(0, slash + 1);
  const std::string file = slash == std::string::npos ? cabinetPath : cabinetPath.substr(slash + 1);
  const std::size_t dot = file.rfind('.');
  SetNames names{file.substr(0, dot), dot == std::string::npos ? "" : file.substr(dot)};
  if (!CopyInto(cab.szCabPath, folder) || !CopyInto(cab.szCab, file)) return false;
  ERF erf{};
  HFCI fci = FCICreate(&erf, Placed, Allocate, Free, Open, Read, Write, Close, Seek, Delete,
                       TempFile, &cab, &names);
  if (!fci) return false;
  std::string temp(MAX_PATH, '\0');
  temp.resize(GetTempPathA(MAX_PATH, temp.data()));
  bool ok = true;
  for (std::size_t i = 0; ok && i < entries.size(); ++i) {
    const std::string source = temp + "orqcab_source_" + std::to_string(GetCurrentProcessId()) +
                               "_" + std::to_string(i) + ".bin";
    const std::string bytes = PatternBytes(entries[i].name, entries[i].size);
    HANDLE out = CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ok = out != INVALID_HANDLE_VALUE &&
         WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    std::string sourceCopy = source, nameCopy = entries[i].name;
    ok = ok && FCIAddFile(fci, sourceCopy.data(), nameCopy.data(), FALSE, NextCabinet, Status,
                          OpenInfo, tcompTYPE_MSZIP);
    DeleteFileA(source.c_str());
  }
  ok = ok && FCIFlushCabinet(fci, FALSE, NextCabinet, Status);
  FCIDestroy(fci);
  return ok;
}

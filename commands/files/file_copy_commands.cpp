// Installing and removing a package's files. COPYFILES and DELFILES walk a file-list
// section: its FILECIO and FILECOW lines name files (never expanded) relative to the
// script's folder (source) and the working folder (target); any other line runs as an
// ordinary command. Errors of listed files are reported against the file-list line.
#include "commands/files/file_copy_commands.h"

#include <windows.h>

#include "commands/files/file_copy_parse.h"
#include "commands/files/path_routines.h"
#include "commands/system/process_control.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/runner.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "support/file_attributes.h"
#include "engine/text_args.h"
#include "engine/what_if.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support/schedule_delete.h"
#include "support/win_handles.h"

namespace {
constexpr int kCopyAttempts = 5;
constexpr DWORD kCopyRetryMs = 1000;

// CANALLFILESBECOPIED's answer, kept from one use to the next for the whole process.
bool allCopyable = true;

bool IsListedFileLine(const ScriptLine& line) {
  return line.commandId == kCmdFileCio || line.commandId == kCmdFileCow;
}

UniqueKernelHandle OpenForReading(const std::string& path) {
  return UniqueKernelHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Attributes that make CopyFileA refuse to overwrite a target.
constexpr DWORD kBlockingAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The file's attributes, size and times, when it is a file (not a folder). One look-up,
// without opening the file.
bool LookUpFile(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

ULONGLONG SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
  return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Whether the target's volume has room for the source in place of the target.
bool RoomToReplace(const std::string& target, const WIN32_FILE_ATTRIBUTE_DATA& existing,
                   const WIN32_FILE_ATTRIBUTE_DATA& source) {
  if (SizeOf(source) <= SizeOf(existing)) return true;
  std::size_t cut = FindLastChar(target, '\\');  // never inside a double-byte character
  std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
  ULARGE_INTEGER available;
  if (folder.empty() || !GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) {
    return true;
  }
  return available.QuadPart >= SizeOf(source) - SizeOf(existing);
}

bool IsDiskFull(DWORD error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }

// One copy over `target` (which existed before when `targetFound`). A new file that did
// not fit is removed again: it is a partial one, and nothing was there before.
enum class CopyOutcome { kCopied, kDiskFull, kFailed };
CopyOutcome CopyOnce(const std::string& source, const std::string& target, bool targetFound) {
  if (CopyFileA(source.c_str(), target.c_str(), FALSE)) return CopyOutcome::kCopied;
  if (!IsDiskFull(GetLastError())) return CopyOutcome::kFailed;
  if (!targetFound) DeleteFileA(target.c_str());
  return CopyOutcome::kDiskFull;
}

// The copy step for a source known to exist. A new target is made by one copy that may
// not overwrite (looking a missing name up first would cost a search of its folder);
// only a target that exists is looked up and compared. The source is opened only when a
// copy fails, to tell a source that cannot be read (9) from a target in use (33).
unsigned CopyKnownSource(const WIN32_FILE_ATTRIBUTE_DATA& source, const std::string& sourcePath,
                         const std::string& target, bool overwrite) {
  if (CopyFileA(sourcePath.c_str(), target.c_str(), TRUE)) return 0;
  if (IsDiskFull(GetLastError())) {
    DeleteFileA(target.c_str());  // the partial new file; nothing was there before
    return kErrDiskSpace;
  }
  WIN32_FILE_ATTRIBUTE_DATA existing;
  const bool targetFound = LookUpFile(target, existing);
  if (!overwrite && targetFound &&
      CompareFileTime(&existing.ftLastWriteTime, &source.ftLastWriteTime) > 0) {
    return 0;  // the installed file is newer
  }
  // CopyFileA empties an existing target before it writes: on a full disk the installed
  // file would be lost to a partial one. So a replacement that cannot fit is refused first.
  if (targetFound && !RoomToReplace(target, existing, source)) return kErrDiskSpace;
  // Only now, when a copy follows, does a read-only target lose that attribute; it gets it
  // back when no copy succeeds.
  const bool reset = targetFound && (existing.dwFileAttributes & kBlockingAttributes);
  if (reset) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  unsigned status = kErrTargetInUse;
  for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
    CopyOutcome outcome = CopyOnce(sourcePath, target, targetFound);
    if (outcome == CopyOutcome::kCopied) return 0;
    if (outcome == CopyOutcome::kDiskFull) {
      status = kErrDiskSpace;
      break;
    }
    if (!OpenForReading(sourcePath)) {
      status = kErrFileOpen;
      break;
    }
    Sleep(kCopyRetryMs);
  }
  if (reset) SetFileAttributesA(target.c_str(), existing.dwFileAttributes);
  return status;
}

// The listed target under the working folder. False when there is no working folder
// (the names would land in the current drive's root) or the joined name does not fit.
bool TargetPath(const EngineContext& ctx, const std::string& name, std::string& path) {
  path = ctx.workDir;
  return !ctx.workDir.empty() && AppendPath(path, kPathSize, name);
}

// Turns a walk's own state on and off around the lines of a file-list section.
class SectionWalk {
 public:
  SectionWalk(EngineContext& ctx, ScriptSection& section) : ctx_(ctx), caller_(ctx.currentSection) {
    section.stopFlag = 0;
    ctx.currentSection = &section;
    ++ctx.callDepth;
  }
  ~SectionWalk() {
    --ctx_.callDepth;
    ctx_.currentSection = caller_;
  }
  SectionWalk(const SectionWalk&) = delete;
  SectionWalk& operator=(const SectionWalk&) = delete;

 private:
  EngineContext& ctx_;
  ScriptSection* caller_;
};

// Where one FILECIO or FILECOW line copies from and to.
struct ListedCopy {
  std::string source, target;
  WIN32_FILE_ATTRIBUTE_DATA sourceData{};
  bool skipped = false;  // a FILECOW target that does not fit in a path: nothing to copy
};

// Finds the source and names the target of a listed line (only reading the machine, apart
// from making the working folder when `madeFolder` is given). 0 when `copy` is to be
// carried out or skipped, else the failed line's status.
unsigned PlanListedCopy(EngineContext& ctx, ScriptLine& line, ListedCopy& copy,
                        std::string* madeFolder) {
  ListedFileNames names;
  if (!SplitListedFile(line.argumentText, names)) return FailLine(ctx, line, kErrInvalidSwitch);
  const bool overwrite = line.commandId == kCmdFileCow;
  const char* word = overwrite ? "FILECOW" : "FILECIO";
  copy.source = ctx.scriptDir;
  if (!AppendPath(copy.source, kPathSize, names.source)) {
    LogStatus("%s: skipped, %s\\%s does not fit in a path", word, ctx.scriptDir.c_str(),
              names.source.c_str());
    return FailLine(ctx, line, kErrFileMissing);
  }
  if (!LookUpFile(copy.source, copy.sourceData)) return FailLine(ctx, line, kErrFileMissing);
  if (ctx.workDir.empty()) return FailLine(ctx, line, kErrSetWorkDir);
  if (madeFolder && *madeFolder != ctx.workDir) {
    CreatePath(ctx.workDir);
    *madeFolder = ctx.workDir;
  }
  if (!TargetPath(ctx, names.target, copy.target)) {
    // Never copied under a cut name; FILECOW goes on with the next line, FILECIO fails.
    LogStatus("%s: skipped, %s\\%s does not fit in a path", word, ctx.workDir.c_str(),
              names.target.c_str());
    copy.skipped = true;
    return overwrite ? 0 : FailLine(ctx, line, kErrFileWrite);
  }
  return 0;
}

// One FILECIO or FILECOW line of a COPYFILES walk; 0 lets the walk go on. The folders
// of the working folder are made once per walk (again only when a line of the walk sets
// another working folder).
unsigned CopyListedLine(EngineContext& ctx, ScriptLine& line, std::string& madeFolder) {
  ListedCopy copy;
  if (unsigned rc = PlanListedCopy(ctx, line, copy, &madeFolder)) return rc;
  if (copy.skipped) return 0;
  const bool overwrite = line.commandId == kCmdFileCow;
  LogStatus("%s: %s %s", overwrite ? "FILECOW" : "FILECIO", copy.source.c_str(),
            copy.target.c_str());
  unsigned status = CopyKnownSource(copy.sourceData, copy.source, copy.target, overwrite);
  if (status == 0) return 0;
  if (status == kErrDiskSpace) return FailLine(ctx, line, status);
  if (overwrite) {
    CheckModuleUsers(copy.target, false);
    return 0;
  }
  CheckModuleUsers(copy.target, true);
  return FailLine(ctx, line, status);
}

// The same line in a WhatIf run: the file is found and named as for a copy, and only said.
unsigned SayListedCopy(EngineContext& ctx, ScriptLine& line, std::string&) {
  ListedCopy copy;
  if (unsigned rc = PlanListedCopy(ctx, line, copy, nullptr)) return rc;
  if (copy.skipped) return 0;
  LogWhatIf(line.lineNumber, "would copy " + copy.source + " to " + copy.target +
                                 (line.commandId == kCmdFileCow ? "" : " unless the file there is newer"));
  return 0;
}

// Walks a file-list section, carrying out its FILECIO and FILECOW lines with `listed` and
// dispatching every other line. Returns 4 for a missing section, 58 when walks and calls
// nest too deeply (a section that copies itself), else the first failing line's status.
template <unsigned (*Listed)(EngineContext&, ScriptLine&, std::string&)>
unsigned WalkFileList(EngineContext& ctx, const std::string& sectionName) {
  ScriptSection* section = FindSection(ctx, sectionName);
  if (!section) return kErrSectionNotFound;
  if (ctx.callDepth >= kMaxCallDepth) return kErrCallsTooDeep;
  SectionWalk walk(ctx, *section);
  unsigned status = 0;
  std::string madeFolder;
  for (ScriptLine& line : section->lines) {
    status = IsListedFileLine(line) ? Listed(ctx, line, madeFolder) : DispatchLine(ctx, line);
    if (status != 0 || section->stopFlag == 1) break;
  }
  return status;
}

template <unsigned (*Listed)(EngineContext&, ScriptLine&, std::string&)>
unsigned CopyFiles(EngineContext& ctx, ScriptLine& line) {
  unsigned status = WalkFileList<Listed>(ctx, line.argumentText);
  if (status == kErrSectionNotFound || status == kErrCallsTooDeep) {
    return FailLine(ctx, line, status);
  }
  return status;
}

// A file that cannot be deleted is left alone without a word (a read-only one keeps that
// attribute), as is a line whose target cannot be named under the working folder.
unsigned DeleteListedLine(EngineContext& ctx, ScriptLine& line, std::string&) {
  ListedFileNames names;
  std::string target;
  if (SplitListedFile(line.argumentText, names) && TargetPath(ctx, names.target, target)) {
    const DWORD attributes = GetFileAttributesA(target.c_str());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(target.c_str()) && attributes != INVALID_FILE_ATTRIBUTES) {
      SetFileAttributesA(target.c_str(), attributes);
    }
  }
  return 0;
}

// The same line in a WhatIf run.
unsigned SayListedDelete(EngineContext& ctx, ScriptLine& line, std::string&) {
  ListedFileNames names;
  std::string target;
  if (SplitListedFile(line.argumentText, names) && TargetPath(ctx, names.target, target)) {
    LogWhatIf(line.lineNumber, "would delete " + target +
                                   (IsExistingFile(target) ? "" : " (not there now)"));
  }
  return 0;
}

template <unsigned (*Listed)(EngineContext&, ScriptLine&, std::string&)>
unsigned DelFiles(EngineContext& ctx, ScriptLine& line) {
  if (!FindSection(ctx, line.argumentText)) return FailLine(ctx, line, kErrSectionNotFound);
  unsigned status = WalkFileList<Listed>(ctx, line.argumentText);
  if (status == kErrCallsTooDeep) return FailLine(ctx, line, status);
  if (status != 0 && ctx.currentSection) ctx.currentSection->stopFlag = 1;
  return status;
}

// One attempt, attributes and times left alone. A full disk (also one found before the copy,
// which would empty the installed file) fails with 56 and ends no process; any other
// failure logs the target's holders, ends the product's, and fails with 33.
unsigned CopyOneFile(EngineContext& ctx, ScriptLine& line) {
  std::string text, source, target;
  if (unsigned rc = ExpandForAction(ctx, line.argumentText, text, kPathSize)) {
    return FailLine(ctx, line, rc);
  }
  if (!SplitSourceTarget(text, source, target)) return FailLine(ctx, line, kErrInvalidSwitch);
  WIN32_FILE_ATTRIBUTE_DATA sourceData, existing;
  const bool targetFound = LookUpFile(target, existing);
  if (targetFound && LookUpFile(source, sourceData) &&
      !RoomToReplace(target, existing, sourceData)) {
    return FailLine(ctx, line, kErrDiskSpace);
  }
  switch (CopyOnce(source, target, targetFound)) {
    case CopyOutcome::kCopied:
      return 0;
    case CopyOutcome::kDiskFull:
      return FailLine(ctx, line, kErrDiskSpace);
    case CopyOutcome::kFailed:
      break;
  }
  CheckModuleUsers(target, true);
  return FailLine(ctx, line, kErrTargetInUse);
}

// A folder is left alone (its attributes too), and a link is deleted without touching what
// it points to. A file that stays gets its attributes back, except that one scheduled for
// deletion at the next start keeps read-only cleared, which that deletion would fail on.
// A file with other names (hard links) shares its attributes with them: they are put back
// in every case, through a handle held across the deletion.
unsigned DeleteOneFile(EngineContext& ctx, ScriptLine& line) {
  std::string path;
  if (unsigned rc = ActedOnPath(ctx, line.argumentText, path)) return FailLine(ctx, line, rc);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    DeleteFileA(path.c_str());
    return 0;
  }
  UniqueKernelHandle shared;
  if (HasOtherNames(path)) shared = OpenForAttributes(path);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileA(path.c_str()) || !IsExistingFile(path)) {
    if (shared) PutAttributes(shared.Get(), attributes);
    return 0;
  }
  const bool scheduled = ScheduleDelete(path);
  DWORD kept = attributes;
  if (scheduled && !shared) kept &= ~FILE_ATTRIBUTE_READONLY;
  SetFileAttributesA(path.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
  return scheduled ? 0 : FailLine(ctx, line, kErrFileDelete);
}

// Items are used as written, relative to the current folder; a missing file counts as
// copyable. A path too long for its buffer is not copyable (it cannot be tested whole).
unsigned CanAllFilesBeCopied(EngineContext& ctx, ScriptLine& line) {
  std::string name, list, item;
  if (!SplitNameAndList(line.argumentText, name, list)) return 0;
  std::string_view rest = list;
  bool fits = true;
  while (NextListedPath(rest, item, fits)) {
    allCopyable = fits && IsFileFree(item);
    if (!allCopyable) break;
  }
  return SetSymbol(ctx.symbols, name, allCopyable ? "TRUE" : "FALSE");
}

// No list of packaged files' dates exists, so a file that is installed is never found in
// it: the command answers "TRUE" for a missing file and 13, unreported, otherwise.
unsigned IsCurrentFileOlder(EngineContext& ctx, ScriptLine& line) {
  std::string name, fileName;
  if (unsigned rc = SplitNameValue(line.argumentText, kPathSize, kPathSize, name, fileName)) {
    return rc;
  }
  std::string path = ctx.workDir;
  if (!AppendPath(path, kPathSize, fileName)) return kErrFileMissing;
  if (!IsExistingFile(path)) return SetSymbol(ctx.symbols, name, "TRUE");
  return kErrFileMissing;
}
}  // namespace

unsigned CopyListedFile(const std::string& target, const std::string& source, bool overwrite) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!LookUpFile(source, data)) return kErrFileOpen;
  return CopyKnownSource(data, source, target, overwrite);
}

void RegisterFileCopyCommands(HandlerTable& table) {
  table.Add(kCmdCopyFiles, CopyFiles<CopyListedLine>);
  table.Add(kCmdDelFiles, DelFiles<DeleteListedLine>);
  // A WhatIf run walks the lists for real and says, file by file, what would happen.
  table.AddWhatIf(kCmdCopyFiles, CopyFiles<SayListedCopy>);
  table.AddWhatIf(kCmdDelFiles, DelFiles<SayListedDelete>);
  table.Add(kCmdFileCio, EmptyHandler);
  table.Add(kCmdFileCow, EmptyHandler);
  table.Add(kCmdCopyOneFile, CopyOneFile);
  table.Add(kCmdDeleteOneFile, DeleteOneFile);
  table.Add(kCmdCanAllFilesBeCopied, CanAllFilesBeCopied);
  table.Add(kCmdIsCurrentFileOlder, IsCurrentFileOlder);
}

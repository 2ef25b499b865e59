#include "engine/script_file.h"

#include <new>

#include "engine/errors.h"
#include "engine/keywords.h"
#include "engine/message_text.h"
#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support/read_only_file.h"

namespace {
// Larger scripts are refused as if memory ran out; no install script comes near this.
constexpr std::uint64_t kMaxScriptBytes = 256ull * 1024 * 1024;

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A rejected script names its offending line in the log.
unsigned RejectLine(unsigned code, unsigned lineNumber, std::string_view text) {
  ReportError(code, lineNumber, CutToBytes(text, kLastTextSize - 1));
  return code;
}

// Reads "[name]" from `pos` (just after the "["); returns the position after the "]".
// A name must end with "]" on its own line and stay below 200 bytes.
unsigned ReadSectionHeader(EngineContext& ctx, std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  std::size_t end = FindAnyChar(text, "]\r\n", start);
  if (end == std::string_view::npos || text[end] != ']' || end - start >= kSectionNameSize) {
    std::size_t lineEnd = FindAnyChar(text, "\r\n", start);
    return RejectLine(kErrLineTooLong, ctx.lineNumber,
                      "[" + std::string(text.substr(start, lineEnd == std::string_view::npos
                                                               ? std::string_view::npos
                                                               : lineEnd - start)));
  }
  auto section = std::make_unique<ScriptSection>();
  section->name.assign(text.substr(start, end - start));
  section->headerLine = ctx.lineNumber;
  ctx.currentSection = section.get();
  ctx.firstSectionByName.emplace(section->name, section.get());
  ctx.sections.push_back(std::move(section));
  pos = end + 1;
  return 0;
}

// Reads a command word and its argument text from `pos`; stops before the line's end.
unsigned ReadCommandLine(EngineContext& ctx, std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  std::size_t wordEnd = pos;
  while (wordEnd < text.size() && IsWordChar(text[wordEnd])) ++wordEnd;
  std::size_t lineEnd = FindAnyChar(text, "\r\n", wordEnd);
  if (lineEnd == std::string_view::npos) lineEnd = text.size();
  std::string_view word = text.substr(start, wordEnd - start);
  std::string argument = TrimmedCopy(text.substr(wordEnd, lineEnd - wordEnd));
  pos = lineEnd;
  if (!ctx.currentSection) {
    // A command before the first header belongs to no section: refuse the script rather
    // than run or drop a line the author wrote.
    return RejectLine(kErrUnknownCommand, ctx.lineNumber, text.substr(start, lineEnd - start));
  }
  if (argument.size() > kMaxArgumentBytes) {
    return RejectLine(kErrLineTooLong, ctx.lineNumber, std::string(word) + " " + argument);
  }
  ScriptLine line;
  line.lineNumber = ctx.lineNumber;
  line.commandWord.assign(word.substr(0, kCommandWordSize - 1));
  line.commandId = LookupCommandWord(word);
  line.argumentText = std::move(argument);
  ctx.currentSection->lines.push_back(std::move(line));
  return 0;
}
}  // namespace

ScriptSection* FindSection(const EngineContext& ctx, std::string_view name) {
  auto it = ctx.firstSectionByName.find(std::string(name));
  return it == ctx.firstSectionByName.end() ? nullptr : it->second;
}

unsigned LoadScript(const std::string& path, std::string& content) {
  LogStatus("Executing LoadScript()");
  ReadOnlyFile file;
  if (!file.Open(path)) return kErrFileOpen;
  std::uint64_t length = file.Length();
  LogStatus("LoadScript() %i = FileLength( hFile );", static_cast<int>(length));
  if (length == 0) return kErrFileEmpty;
  if (length > kMaxScriptBytes) return kErrOutOfMemory;
  try {
    content.assign(static_cast<std::size_t>(length), '\0');
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
  if (file.Read(content.data(), content.size()) != content.size()) {
    content.clear();
    LogStatus("LoadScript() FileRead FAILED!");
    return kErrFileRead;
  }
  return 0;
}

unsigned ParseScript(EngineContext& ctx, std::string_view text) {
  LogStatus("Executing ParseScript()");
  text = text.substr(0, text.find('\0'));  // a zero byte ends the script
  ctx.lineNumber = 1;
  bool comment = false;
  try {
    std::size_t pos = 0;
    while (pos < text.size()) {
      char c = text[pos];
      if (c == '\t' || c == ' ' || c == '\r') {
        ++pos;
      } else if (c == '\n') {
        ++ctx.lineNumber;
        comment = false;
        ++pos;
      } else if (comment) {
        pos += CharLength(text, pos);
      } else if (c == ';') {
        comment = true;
        ++pos;
      } else {
        std::size_t at = pos;
        unsigned status = c == '[' ? ReadSectionHeader(ctx, text, ++at) : ReadCommandLine(ctx, text, at);
        if (status) return status;
        pos = at;
      }
    }
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
  return 0;
}

LastRunRecord& TheLastRunRecord() {
  static LastRunRecord record;
  return record;
}

unsigned ScriptOpen(const std::string& path, std::string_view startSection,
                    const std::string& scriptDir, std::unique_ptr<EngineContext>& ctx) {
  LogStatus("Executing ScriptOpen()");
  ctx.reset();
  unsigned status = 0;
  unsigned lineNumber = 0;
  bool fileOpened = false;
  try {
    auto opened = std::make_unique<EngineContext>();
    opened->scriptDir = FitToBuffer(scriptDir, kPathSize);
    LogMessage(kMsgLoadingScript, path.c_str());
    std::string content;
    status = LoadScript(path, content);
    fileOpened = status != kErrFileOpen;
    if (status) {
      LogError("Error Loading Script File: %s", path.c_str());
    } else {
      status = ParseScript(*opened, content);
      if (status == 0 && !FindSection(*opened, startSection)) status = kErrStartSectionNotFound;
    }
    lineNumber = opened->lineNumber;
    if (status == 0) ctx = std::move(opened);
  } catch (const std::bad_alloc&) {
    status = kErrOutOfMemory;
  }
  TheLastRunRecord() = {status, lineNumber, fileOpened};
  return status;
}

void ScriptClose(std::unique_ptr<EngineContext>& ctx) { ctx.reset(); }

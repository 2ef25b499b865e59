#pragma once
// The parsed script and the interpreter state of one run.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/command_ids.h"
#include "engine/symbols.h"

// Field bounds of the script format (buffer sizes; a field holds size - 1 bytes).
constexpr std::size_t kPathSize = 260;
constexpr std::size_t kSectionNameSize = 200;
constexpr std::size_t kCommandWordSize = 64;
constexpr std::size_t kMaxArgumentBytes = 512;
constexpr std::size_t kSetValueSize = 1024;
constexpr std::size_t kLogLineExpansionSize = 2000;
constexpr std::size_t kLastTextSize = 520;
constexpr std::size_t kReturnValueSize = 260;

struct ScriptLine {
  CommandId commandId = kCmdUnknown;
  unsigned lineNumber = 0;
  std::string commandWord;   // as written, at most 63 bytes
  std::string argumentText;  // trimmed, at most 512 bytes, unexpanded
};

struct ScriptSection {
  std::string name;  // exactly the text between "[" and "]", at most 199 bytes
  std::vector<ScriptLine> lines;
  unsigned stopFlag = 0;
  unsigned headerLine = 0;  // line number of its "[name]"
};

class HandlerTable;

struct EngineContext {
  std::vector<std::unique_ptr<ScriptSection>> sections;  // in file order
  SymbolTable symbols;
  ScriptSection* currentSection = nullptr;
  std::string workDir;    // at most 259 bytes; set by SETWORKDIR
  std::string scriptDir;  // at most 259 bytes; the script file's folder
  unsigned lineNumber = 0;
  unsigned lastError = 0;
  std::string lastText;  // at most 519 bytes
  const HandlerTable* handlers = nullptr;
  unsigned callDepth = 0;  // sections now running inside each other

  // First section of each name, so a call finds its section without a walk.
  std::unordered_map<std::string, ScriptSection*> firstSectionByName;
};

// The first section whose name equals `name` exactly (case counts), or nullptr.
ScriptSection* FindSection(const EngineContext& ctx, std::string_view name);

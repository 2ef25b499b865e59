#include "engine/runner.h"

#include "engine/control_flow.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "engine/what_if.h"
#include "support/log.h"

void LogExecutingLine(const EngineContext& ctx, const ScriptLine& line) {
  std::string expanded;
  ExpandSymbols(ctx, line.argumentText, expanded, kLogLineExpansionSize);
  if (ctx.handlers) ctx.handlers->FilterLogCopy(line.commandId, expanded);
  LogStatus("Executing line %d: %s %s", static_cast<int>(line.lineNumber), line.commandWord.c_str(),
            expanded.c_str());
}

unsigned DispatchLine(EngineContext& ctx, ScriptLine& line) {
  ctx.lastError = 0;
  if (ctx.currentSection) ctx.currentSection->stopFlag = 0;
  CommandHandler handler = ctx.handlers ? ctx.handlers->Find(line.commandId) : nullptr;
  // A held-back line's WhatIf line stands for its "Executing line" line.
  if (handler && IsHeldBackByWhatIf(line.commandId)) return CarryOutWhatIf(ctx, line);
  LogExecutingLine(ctx, line);
  return handler ? handler(ctx, line) : kErrUnknownCommand;
}

unsigned ScriptRun(EngineContext& ctx, std::string_view startSection) {
  LogStatus("Executing ScriptRun()");
  ScriptSection* section = FindSection(ctx, startSection);
  unsigned status = 0;
  if (section) {
    LogStatus("Start running script, start section:%s", section->name.c_str());
    // Failures of the start section's lines mark the start section itself.
    ctx.currentSection = section;
    for (ScriptLine& line : section->lines) {
      status = DispatchLine(ctx, line);
      if (status != 0 || line.commandId == kCmdGotoIf) break;
    }
  } else {
    status = kErrStartSectionNotFound;
  }
  TheLastRunRecord().lineNumber = ctx.lineNumber;
  return status;
}

unsigned RunSection(EngineContext& ctx, std::string_view sectionName,
                    const std::string* resultName) {
  unsigned status = 0;
  bool setResultAtEnd = true;
  ScriptSection* section = FindSection(ctx, sectionName);
  if (!section) {
    status = kErrSectionNotFound;
  } else if (ctx.callDepth >= kMaxCallDepth) {
    status = kErrCallsTooDeep;
  } else {
    LogStatus("Running Section: %s", section->name.c_str());
    section->stopFlag = 0;
    ScriptSection* caller = ctx.currentSection;
    ctx.currentSection = section;
    ++ctx.callDepth;
    std::string returnValue;
    for (ScriptLine& line : section->lines) {
      bool returned = false;
      if (line.commandId == kCmdReturn) {
        LogExecutingLine(ctx, line);
        CarryOutReturn(ctx, line, returnValue);
        returned = true;
      } else if (line.commandId == kCmdReturnIf) {
        LogExecutingLine(ctx, line);
        unsigned returnStatus = CarryOutReturnIf(ctx, line, returnValue);
        returned = returnStatus == 0;
        if (returnStatus != 0 && returnStatus != kReturnIfNotHeld) status = returnStatus;
      } else {
        status = DispatchLine(ctx, line);
      }
      if (returned) {
        if (resultName) {
          SetSymbol(ctx.symbols, *resultName, returnValue);
          setResultAtEnd = false;
        }
        break;
      }
      if (status != 0 || line.commandId == kCmdGotoIf || section->stopFlag == 1) break;
    }
    --ctx.callDepth;
    ctx.currentSection = caller;
  }
  if (resultName && setResultAtEnd) SetSymbol(ctx.symbols, *resultName, status == 0 ? "TRUE" : "FALSE");
  return status;
}

unsigned ExecuteScript(const std::string& scriptPath, const std::string& startSection,
                       const std::string& scriptDir, const HandlerTable& handlers,
                       unsigned* errorLine, std::string* errorText) {
  LogStatus("Executing : ExecuteScript()");
  std::unique_ptr<EngineContext> ctx;
  unsigned status = ScriptOpen(scriptPath, startSection, scriptDir, ctx);
  if (status == 0) {
    ctx->handlers = &handlers;
    status = ScriptRun(*ctx, startSection);
  }
  if (status == 0) {
    LogStatus("Script finished successfully!!");
  } else if (status == kConditionalStop) {
    LogStatus("Script: %s  finished on a conditional stop: %s. Line:%d", scriptPath.c_str(),
              ctx->lastText.c_str(), static_cast<int>(ctx->lineNumber));
    status = 0;
  } else {
    if (errorLine) *errorLine = ctx ? ctx->lineNumber : TheLastRunRecord().lineNumber;
    if (errorText) *errorText = ctx ? FitToBuffer(ctx->lastText, kPathSize) : std::string();
  }
  if (ctx) {
    ScriptClose(ctx);
    LogStatus("Script: %s closed.", scriptPath.c_str());
  }
  return status;
}

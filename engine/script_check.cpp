#include "engine/script_check.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "engine/command_table.h"
#include "engine/control_flow.h"
#include "engine/errors.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::string_view kReference = "%%";

// A set of symbols, one bit per symbol id.
class SymbolSet {
 public:
  explicit SymbolSet(std::size_t count = 0) : words_((count + 63) / 64) {}
  bool Has(std::size_t id) const { return (words_[id / 64] >> (id % 64)) & 1u; }
  void Add(std::size_t id) { words_[id / 64] |= std::uint64_t{1} << (id % 64); }
  // Adds every member of `other`; true when that added anything.
  bool Merge(const SymbolSet& other) {
    bool grew = false;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      const std::uint64_t merged = words_[i] | other.words_[i];
      grew |= merged != words_[i];
      words_[i] = merged;
    }
    return grew;
  }

 private:
  std::vector<std::uint64_t> words_;
};

enum class Edge { Call, CopyWalk, DeleteWalk };

struct LineFacts {
  const ScriptLine* line = nullptr;
  std::vector<std::size_t> reads;  // symbol ids, before the line runs
  std::vector<std::size_t> sets;   // symbol ids, after it (and after any section it runs)
  std::size_t target = SIZE_MAX;   // the section it runs or walks, by index
  Edge edge = Edge::Call;
};

std::string LineText(const ScriptLine& line) {
  return line.argumentText.empty() ? line.commandWord
                                   : line.commandWord + " " + line.argumentText;
}

std::string HeaderText(std::string_view name) { return "[" + std::string(name) + "]"; }

// The text of line `number` (1-based) of a script, for a line the parser refused.
std::string ScriptLineAt(std::string_view text, unsigned number) {
  std::size_t start = 0;
  for (unsigned n = 1; n < number && start != std::string_view::npos; ++n) {
    start = text.find('\n', start);
    if (start != std::string_view::npos) ++start;
  }
  if (start == std::string_view::npos) return "";
  std::size_t end = text.find_first_of("\r\n", start);
  return TrimmedCopy(text.substr(start, end == std::string_view::npos ? end : end - start));
}

class ScriptChecker {
 public:
  ScriptChecker(const EngineContext& ctx, ArgumentCheckLookup checks)
      : ctx_(ctx), checks_(checks) {}

  void Run(std::string_view startSection, std::vector<CheckFinding>& findings) {
    findings_ = &findings;
    IndexSections();
    const ScriptSection* start = FindSection(ctx_, startSection);
    if (!start) {
      Error(0, kErrStartSectionNotFound,
            "start section " + HeaderText(startSection) + " not found", HeaderText(startSection));
    }
    CollectFacts();
    if (start) MarkReached(indexOf_.at(start));
    for (std::size_t s = 0; s < sections_.size(); ++s) {
      if (!reached_[s]) {
        Warning(sections_[s]->headerLine,
                "section " + HeaderText(sections_[s]->name) + " is never reached",
                HeaderText(sections_[s]->name));
      }
    }
    if (start) CheckSymbols(indexOf_.at(start));
  }

 private:
  void Error(unsigned lineNumber, unsigned code, const std::string& what, std::string text) {
    findings_->push_back(
        {lineNumber, code, "error " + std::to_string(code) + ": " + what, std::move(text)});
  }
  void Warning(unsigned lineNumber, const std::string& what, std::string text) {
    findings_->push_back({lineNumber, 0, "warning: " + what, std::move(text)});
  }

  void IndexSections() {
    for (const auto& section : ctx_.sections) {
      indexOf_.emplace(section.get(), sections_.size());
      sections_.push_back(section.get());
    }
    reached_.assign(sections_.size(), false);
    copyWalked_.assign(sections_.size(), false);
    deleteWalked_.assign(sections_.size(), false);
    facts_.resize(sections_.size());
  }

  std::size_t SymbolId(std::string_view name) {
    auto it = symbolIds_.emplace(std::string(name), symbolIds_.size()).first;
    return it->second;
  }

  // Every %%NAME%% the argument holds; an unclosed reference reads nothing.
  void AddReads(std::string_view text, std::vector<std::size_t>& reads) {
    for (std::size_t at = FindText(text, kReference); at != std::string_view::npos;) {
      const std::size_t nameStart = at + kReference.size();
      const std::size_t end = FindText(text, kReference, nameStart);
      if (end == std::string_view::npos) break;
      reads.push_back(SymbolId(text.substr(nameStart, end - nameStart)));
      at = FindText(text, kReference, end + kReference.size());
    }
  }

  // The symbol a line sets, read from its argument the way the table's forms show it.
  void AddSets(const CommandRow& row, const ScriptLine& line, std::vector<std::size_t>& sets) {
    if (row.setsSymbol.empty()) return;
    std::string_view text = line.argumentText;
    if (row.id == kCmdCall || row.id == kCmdCallIf) {
      std::string result, section;
      bool hasResult = false;
      if (CallTargetOf(line, result, section, hasResult) && hasResult) {
        sets.push_back(SymbolId(result));
      }
      return;
    }
    const std::size_t equals = FindChar(text, '=');
    const bool named = row.forms.substr(0, 5) == "name=";
    const bool mayName = named || FindText(row.forms, "name=") != std::string_view::npos;
    if (equals != std::string_view::npos && mayName) {
      sets.push_back(SymbolId(TrimmedCopy(text.substr(0, equals))));
    } else if (!named) {
      sets.push_back(SymbolId(TrimmedCopy(text)));
    }
  }

  // The target of a CALL or CALLIF line, as its handler splits it; false when it has none.
  static bool CallTargetOf(const ScriptLine& line, std::string& result, std::string& section,
                           bool& hasResult) {
    std::string_view text = line.argumentText;
    if (line.commandId == kCmdCallIf) {
      std::string_view condition;
      if (!SplitConditionLine(line.argumentText, condition, text)) return false;
    }
    return SplitCallTarget(text, result, section, hasResult) == 0;
  }

  // The section a line runs or walks, as its handler names it; false for a line that
  // names none.
  static bool TargetOf(const ScriptLine& line, Edge& edge, std::string& target) {
    edge = Edge::Call;
    switch (line.commandId) {
      case kCmdCopyFiles:
        edge = Edge::CopyWalk;
        target = line.argumentText;
        return true;
      case kCmdDelFiles:
        edge = Edge::DeleteWalk;
        target = line.argumentText;
        return true;
      case kCmdGotoIf: {
        std::string_view condition, section;
        if (!SplitConditionLine(line.argumentText, condition, section)) return false;
        target = TrimmedCopy(section);
        return true;
      }
      case kCmdCallIf:
      case kCmdCall: {
        std::string result;
        bool hasResult = false;
        return CallTargetOf(line, result, target, hasResult);
      }
      default:
        return false;
    }
  }

  void CollectFacts() {
    for (std::size_t s = 0; s < sections_.size(); ++s) {
      for (const ScriptLine& line : sections_[s]->lines) {
        LineFacts facts;
        facts.line = &line;
        const CommandRow& row = CommandRowOf(line.commandId);
        if (line.commandId == kCmdUnknown) {
          Error(line.lineNumber, kErrUnknownCommand,
                "unknown command word \"" + line.commandWord + "\"", LineText(line));
        } else if (!row.hasHandler) {
          Error(line.lineNumber, kErrUnknownCommand,
                std::string(row.word) + " is a known word that is not carried out",
                LineText(line));
        } else if (!CheckArgument(row, line)) {
          std::string target;
          if (TargetOf(line, facts.edge, target)) {
            const ScriptSection* found = FindSection(ctx_, target);
            if (found) {
              facts.target = indexOf_.at(found);
              if (facts.edge == Edge::CopyWalk) copyWalked_[facts.target] = true;
              if (facts.edge == Edge::DeleteWalk) deleteWalked_[facts.target] = true;
            } else {
              Error(line.lineNumber, kErrSectionNotFound,
                    std::string(row.word) + " names no section " + HeaderText(target),
                    LineText(line));
            }
          }
        }
        AddReads(line.argumentText, facts.reads);
        if (line.commandId == kCmdStripFileName) {
          facts.reads.push_back(SymbolId(TrimmedCopy(line.argumentText)));  // its own value
        }
        AddSets(row, line, facts.sets);
        facts_[s].push_back(std::move(facts));
      }
    }
    // Listed-file lines, now that every walk is known.
    for (std::size_t s = 0; s < sections_.size(); ++s) {
      for (const ScriptLine& line : sections_[s]->lines) {
        if (line.commandId != kCmdFileCio && line.commandId != kCmdFileCow) continue;
        const std::string_view word = CommandRowOf(line.commandId).word;
        if (!copyWalked_[s] && !deleteWalked_[s]) {
          Warning(line.lineNumber,
                  std::string(word) +
                      " outside any section that COPYFILES or DELFILES walks does nothing",
                  LineText(line));
        } else if (copyWalked_[s]) {
          ReportRefusal(line, ArgumentCode(line));
        }
      }
    }
  }

  unsigned ArgumentCode(const ScriptLine& line) const {
    return CheckArgumentWith(checks_, line.commandId, line.argumentText);
  }

  void ReportRefusal(const ScriptLine& line, unsigned code) {
    if (code == 0) return;
    Error(line.lineNumber, code, "argument refused: " + ErrorMessageText(code), LineText(line));
  }

  // True when the argument was refused (and reported). A listed-file line is checked only
  // where a copy walks it: elsewhere nothing reads its names.
  bool CheckArgument(const CommandRow& row, const ScriptLine& line) {
    if (row.id == kCmdFileCio || row.id == kCmdFileCow) return false;
    const unsigned code = ArgumentCode(line);
    ReportRefusal(line, code);
    return code != 0;
  }

  void MarkReached(std::size_t start) {
    std::vector<std::size_t> pending{start};
    reached_[start] = true;
    while (!pending.empty()) {
      const std::size_t s = pending.back();
      pending.pop_back();
      for (const LineFacts& facts : facts_[s]) {
        if (facts.target != SIZE_MAX && !reached_[facts.target]) {
          reached_[facts.target] = true;
          pending.push_back(facts.target);
        }
      }
    }
  }

  // A symbol read where no path through the script can have set it before. Every section's
  // entry collects what any line running it may have set; a called section's own sets
  // count after its call line, whether or not it returns by the end.
  void CheckSymbols(std::size_t start) {
    const std::size_t count = symbolIds_.size();
    std::vector<SymbolSet> own(sections_.size(), SymbolSet(count));
    for (std::size_t s = 0; s < sections_.size(); ++s) {
      for (const LineFacts& facts : facts_[s]) {
        for (std::size_t id : facts.sets) own[s].Add(id);
      }
    }
    std::vector<SymbolSet> summary = own;  // what running a section may set, calls included
    for (bool grew = true; grew;) {
      grew = false;
      for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (!reached_[s]) continue;
        for (const LineFacts& facts : facts_[s]) {
          if (facts.target != SIZE_MAX) grew |= summary[s].Merge(summary[facts.target]);
        }
      }
    }
    std::vector<SymbolSet> entry(sections_.size(), SymbolSet(count));
    std::vector<bool> queued(sections_.size(), false);
    std::vector<std::size_t> pending{start};
    queued[start] = true;
    while (!pending.empty()) {
      const std::size_t s = pending.back();
      pending.pop_back();
      queued[s] = false;
      SymbolSet state = entry[s];
      for (const LineFacts& facts : facts_[s]) {
        if (facts.target != SIZE_MAX) {
          if (entry[facts.target].Merge(state) && !queued[facts.target]) {
            queued[facts.target] = true;
            pending.push_back(facts.target);
          }
          state.Merge(summary[facts.target]);
        }
        for (std::size_t id : facts.sets) state.Add(id);
      }
    }
    std::vector<std::string> names(count);
    for (const auto& [name, id] : symbolIds_) names[id] = name;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
      if (!reached_[s]) continue;
      SymbolSet state = entry[s];
      for (const LineFacts& facts : facts_[s]) {
        for (std::size_t i = 0; i < facts.reads.size(); ++i) {
          const std::size_t id = facts.reads[i];
          const bool repeated =
              std::find(facts.reads.begin(), facts.reads.begin() + i, id) != facts.reads.begin() + i;
          if (!state.Has(id) && !repeated) {
            Warning(facts.line->lineNumber,
                    "symbol %%" + names[id] + "%% is read before anything sets it",
                    LineText(*facts.line));
          }
        }
        if (facts.target != SIZE_MAX) state.Merge(summary[facts.target]);
        for (std::size_t id : facts.sets) state.Add(id);
      }
    }
  }

  const EngineContext& ctx_;
  ArgumentCheckLookup checks_;
  std::vector<CheckFinding>* findings_ = nullptr;
  std::vector<const ScriptSection*> sections_;
  std::unordered_map<const ScriptSection*, std::size_t> indexOf_;
  std::vector<std::vector<LineFacts>> facts_;
  std::vector<bool> reached_, copyWalked_, deleteWalked_;
  std::unordered_map<std::string, std::size_t> symbolIds_;
};

void Finish(CheckReport& report) {
  std::stable_sort(report.findings.begin(), report.findings.end(),
                   [](const CheckFinding& a, const CheckFinding& b) {
                     return a.lineNumber < b.lineNumber;
                   });
  for (const CheckFinding& finding : report.findings) {
    if (finding.code != 0) {
      report.exitCode = finding.code;
      break;
    }
  }
}
}  // namespace

unsigned CheckArgumentWith(ArgumentCheckLookup checks, unsigned commandId,
                           std::string_view argument) {
  ArgumentCheckFn check = checks ? checks(commandId) : nullptr;
  return check ? check(argument) : 0;
}

CheckReport CheckScriptText(std::string_view text, std::string_view startSection,
                            ArgumentCheckLookup checks) {
  CheckReport report;
  EngineContext ctx;
  if (const unsigned status = ParseScript(ctx, text)) {
    report.findings.push_back({ctx.lineNumber, status,
                               "error " + std::to_string(status) + ": " + ErrorMessageText(status),
                               ScriptLineAt(text, ctx.lineNumber)});
  } else {
    ScriptChecker(ctx, checks).Run(startSection, report.findings);
  }
  Finish(report);
  return report;
}

CheckReport CheckScriptFile(const std::string& path, std::string_view startSection,
                            ArgumentCheckLookup checks) {
  std::string content;
  if (const unsigned status = LoadScript(path, content)) {
    CheckReport report;
    report.findings.push_back(
        {0, status, "error " + std::to_string(status) + ": " + ErrorMessageText(status), path});
    report.exitCode = status;
    return report;
  }
  return CheckScriptText(content, startSection, checks);
}

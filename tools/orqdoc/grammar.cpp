#include "tools/orqdoc/grammar.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "engine/command_table.h"
#include "tools/orqdoc/json_text.h"

namespace {
// Where the parser looks for a command word, a comment or a section header: at the start of a
// line (after blanks) or right after a section header's "]".
constexpr std::string_view kLineStart = R"((?:^|(?<=\]))[ \t]*)";

// The words whose argument text starts with a condition (up to the first comma).
bool TakesCondition(CommandId id) {
  return id == kCmdCallIf || id == kCmdGotoIf || id == kCmdReturnIf || id == kCmdContinueIf;
}

enum class WordGroup { kCondition, kControl, kOther };

WordGroup GroupOf(const CommandRow& row) {
  if (TakesCondition(row.id)) return WordGroup::kCondition;
  return row.family == "control" ? WordGroup::kControl : WordGroup::kOther;
}

// A word of the group, as the parser reads it: ASCII letters and digits up to the first other
// character, compared without regard to case. The look-ahead keeps the case-blind comparison
// to ASCII, so no other letter that folds to one of these (a long s, a Kelvin sign) passes.
std::string WordPattern(WordGroup group) {
  std::vector<std::string_view> words;
  for (const CommandRow& row : CommandTable())
    if (row.id != kCmdUnknown && GroupOf(row) == group) words.push_back(row.word);
  std::sort(words.begin(), words.end());
  std::string pattern(kLineStart);
  pattern += "(?=[A-Za-z0-9]+(?![A-Za-z0-9]))((?i:";
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i) pattern += '|';
    pattern += words[i];
  }
  pattern += "))(?![A-Za-z0-9])";
  return pattern;
}

JsonValue Include(std::string_view rule) {
  return JsonValue::Object().Add("include", std::string("#") + std::string(rule));
}

JsonValue Named(std::string_view scope) { return JsonValue::Object().Add("name", scope); }

JsonValue Match(std::string_view regex, std::string_view scope) {
  return JsonValue::Object().Add("match", regex).Add("name", scope);
}

JsonValue Includes(std::initializer_list<std::string_view> rules) {
  JsonValue list = JsonValue::Array();
  for (std::string_view rule : rules) list.Push(Include(rule));
  return list;
}

// A command line: the word, then its argument text to the end of the line (a ";" there is
// part of the argument, not a comment).
JsonValue CommandRule(std::string begin, std::string_view wordScope) {
  return JsonValue::Object()
      .Add("begin", begin)
      .Add("beginCaptures", JsonValue::Object().Add("1", Named(wordScope)))
      .Add("end", "$")
      .Add("patterns", Includes({"arguments"}));
}

JsonValue ConditionCommandRule() {
  JsonValue condition = Named("meta.condition.orq");
  condition.Add("patterns", Includes({"condition"}));
  return JsonValue::Object()
      .Add("begin", WordPattern(WordGroup::kCondition) + "([^,]*)")
      .Add("beginCaptures",
           JsonValue::Object().Add("1", Named("keyword.control.orq")).Add("2", std::move(condition)))
      .Add("end", "$")
      .Add("patterns", Includes({"arguments"}));
}

JsonValue Repository() {
  const std::string start(kLineStart);
  JsonValue repo = JsonValue::Object();
  repo.Add("comment", JsonValue::Object()
                          .Add("match", start + "(;.*)$")
                          .Add("captures", JsonValue::Object().Add("1", Named("comment.line.semicolon.orq"))));
  JsonValue header =
      JsonValue::Object()
          .Add("match", start + R"((\[)([^\]]*)(\]))")
          .Add("captures", JsonValue::Object()
                               .Add("1", Named("punctuation.definition.section.begin.orq"))
                               .Add("2", Named("entity.name.section.orq"))
                               .Add("3", Named("punctuation.definition.section.end.orq")));
  JsonValue unclosed = JsonValue::Object()
                           .Add("match", start + R"((\[[^\]]*)$)")
                           .Add("captures", JsonValue::Object().Add("1", Named("invalid.illegal.section.orq")));
  repo.Add("section", JsonValue::Object().Add(
                          "patterns", JsonValue::Array().Push(std::move(header)).Push(std::move(unclosed))));
  repo.Add("condition-command", ConditionCommandRule());
  repo.Add("control-command", CommandRule(WordPattern(WordGroup::kControl), "keyword.control.orq"));
  repo.Add("command", CommandRule(WordPattern(WordGroup::kOther), "keyword.other.command.orq"));
  // Any other word (or a line that starts with no word at all): the engine refuses the line.
  repo.Add("unknown-command",
           CommandRule(start + R"(([A-Za-z0-9]+|[^ \t;\[A-Za-z0-9][^ \t]*))", "invalid.illegal.unknown-command.orq"));
  repo.Add("arguments", JsonValue::Object().Add("patterns", Includes({"symbol", "switch", "number"})));
  repo.Add("condition", JsonValue::Object().Add(
                            "patterns", Includes({"symbol"})
                                            .Push(Match("==|!=|<=|>=|=|<|>", "keyword.operator.comparison.orq"))
                                            .Push(Match(R"(\|)", "keyword.operator.logical.orq"))
                                            .Push(Include("number"))));
  repo.Add("symbol", JsonValue::Object()
                         .Add("match", "(%%)(.*?)(%%)")
                         .Add("captures", JsonValue::Object()
                                              .Add("1", Named("punctuation.definition.variable.begin.orq"))
                                              .Add("2", Named("variable.other.symbol.orq"))
                                              .Add("3", Named("punctuation.definition.variable.end.orq"))));
  repo.Add("switch", Match(R"((?<![^ \t,=])/[A-Za-z][A-Za-z0-9_]*)", "constant.other.switch.orq"));
  repo.Add("number", Match(R"((?<![A-Za-z0-9_.%\\/-])-?[0-9]+(?:\.[0-9]+)*(?![A-Za-z0-9_.%\\]))",
                           "constant.numeric.orq"));
  return repo;
}
}  // namespace

std::string OrqGrammarJson() {
  JsonValue grammar = JsonValue::Object();
  grammar.Add("comment", "Made by tools/orqdoc from the command table; do not edit by hand.");
  grammar.Add("name", "ORQ script");
  grammar.Add("scopeName", "source.orq");
  grammar.Add("fileTypes", JsonValue::Array().Push(JsonValue::Text("Orq")).Push(JsonValue::Text("orq")));
  grammar.Add("patterns", Includes({"comment", "section", "condition-command", "control-command", "command",
                                    "unknown-command"}));
  grammar.Add("repository", Repository());
  return grammar.Write();
}

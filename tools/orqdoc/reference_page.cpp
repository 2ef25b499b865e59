#include "tools/orqdoc/reference_page.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

#include "engine/command_table.h"
#include "engine/errors.h"
#include "engine/text_args.h"

namespace {
std::string_view EffectText(CommandEffect effect) {
  switch (effect) {
    case CommandEffect::kControl: return "changes only the run itself";
    case CommandEffect::kReads: return "reads the machine";
    case CommandEffect::kActs: return "changes the machine";
    case CommandEffect::kAsks: return "asks the user";
    case CommandEffect::kWaits: return "waits";
  }
  return "";
}

bool WhatIfSkips(CommandEffect effect) {
  return effect == CommandEffect::kActs || effect == CommandEffect::kAsks || effect == CommandEffect::kWaits;
}

// Text for a Markdown code span: a backquote inside would end it, so the span's fence grows.
std::string Code(std::string_view text) {
  if (text.empty()) return "";
  std::string fence = "`";
  while (text.find(fence) != std::string_view::npos) fence += '`';
  std::string pad = text.front() == '`' || text.back() == '`' ? " " : "";
  return fence + pad + std::string(text) + pad + fence;
}

// The items of a column ("|" between forms, blanks between error codes), trimmed.
std::vector<std::string> Items(std::string_view text, char separator) {
  std::vector<std::string> items;
  std::string item;
  while (NextItem(text, separator, text.size() + 1, item)) {
    TrimText(item);
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

// A form as a line of a script: the word first, unless the form already starts with it.
std::string FormLine(const CommandRow& row, std::string_view form) {
  bool hasWord = StartsWithNoCase(form, row.word) &&
                 (form.size() == row.word.size() || form[row.word.size()] == ' ');
  return hasWord ? std::string(form) : std::string(row.word) + " " + std::string(form);
}

std::string CodeMeaning(unsigned code) {
  if (code == kConditionalStop) return "not an error: the run ends quietly, with exit code 0";
  return "\"" + ErrorMessageText(code) + "\"";
}

void WriteErrors(std::string& page, std::string_view codes) {
  std::vector<std::string> list = Items(codes, ' ');
  if (list.empty()) return;
  page += "- Errors:\n";
  for (const std::string& code : list) {
    auto number = static_cast<unsigned>(ReadDecimalPrefix(code).magnitude);
    page += "  - " + code + ": " + CodeMeaning(number) + "\n";
  }
}

void WriteCommand(std::string& page, const CommandRow& row) {
  page += "### " + std::string(row.word) + "\n\n";
  if (!row.summary.empty()) page += std::string(row.summary) + "\n\n";
  if (!row.hasHandler)
    page += "The engine knows this word but does not carry it out: a line with it fails with code 2 (\"" +
            ErrorMessageText(kErrUnknownCommand) + "\").\n\n";
  std::vector<std::string> forms = Items(row.forms, '|');
  if (forms.empty()) page += "- Form: " + Code(row.word) + "\n";
  for (const std::string& form : forms) page += "- Form: " + Code(FormLine(row, form)) + "\n";
  page += "- Effect: " + std::string(EffectText(row.effect)) + "\n";
  page += "- Sets: " + (row.setsSymbol.empty() ? std::string("nothing") : std::string(row.setsSymbol)) + "\n";
  page += WhatIfSkips(row.effect) ? "- WhatIf: described, not done" : "- WhatIf: runs for real";
  if (!row.setsSymbol.empty() && !row.whatIfValue.empty()) page += "; its symbol gets " + Code(row.whatIfValue);
  page += "\n";
  WriteErrors(page, row.errorCodes);
  if (!row.example.empty()) page += "- Example: " + Code(row.example) + "\n";
  page += "\n";
}
}  // namespace

std::string CommandReferencePage() {
  std::map<std::string_view, std::vector<const CommandRow*>> byFamily;
  for (const CommandRow& row : CommandTable())
    if (row.id != kCmdUnknown) byFamily[row.family].push_back(&row);
  for (auto& family : byFamily)
    std::sort(family.second.begin(), family.second.end(),
              [](const CommandRow* a, const CommandRow* b) { return a->word < b->word; });

  std::string page =
      "<!-- Made by tools/orqdoc from engine/command_table.cpp and engine/messages.inc; do not edit by hand.\n"
      "     Remake it with: cmake --build --preset native --target reference -->\n"
      "# Command reference\n\n"
      "Every command word a script can use, by family. A line is the word (letters and digits, any\n"
      "case) followed by its argument text; `%%NAME%%` inserts a symbol's value. \"Sets\" names the\n"
      "symbol a command gives a value. \"WhatIf\" tells what a `/WhatIf` run does with the line: a\n"
      "line that changes the machine, asks the user or waits is described in the log, not done;\n"
      "every other line runs for real. \"Errors\" are the codes the line can end the run with, and\n"
      "their messages.\n\n"
      "| Family | Words |\n|---|---|\n";
  for (const auto& family : byFamily) {
    page += "| " + std::string(family.first) + " |";
    for (std::size_t i = 0; i < family.second.size(); ++i) {
      std::string word(family.second[i]->word);
      std::string anchor = word;
      std::transform(anchor.begin(), anchor.end(), anchor.begin(),
                     [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
      page += (i ? ", [" : " [") + word + "](#" + anchor + ")";
    }
    page += " |\n";
  }
  page += "\n";
  for (const auto& family : byFamily) {
    page += "## " + std::string(family.first) + "\n\n";
    for (const CommandRow* row : family.second) WriteCommand(page, *row);
  }
  const CommandRow& other = CommandRowOf(kCmdUnknown);
  page += "## Any other word\n\n";
  if (!other.summary.empty()) page += std::string(other.summary) + "\n\n";
  WriteErrors(page, other.errorCodes);
  return page;
}

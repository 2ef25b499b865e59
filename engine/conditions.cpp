#include "engine/conditions.h"

#include <climits>
#include <string>

#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kClauseSize = 260;
constexpr std::size_t kOperandSize = 260;
constexpr std::size_t kVersionTextBytes = 50;

// A decimal number held to the signed 32-bit range.
std::int32_t ReadDecimal(std::string_view text) {
  DecimalPrefix number = ReadDecimalPrefix(text);
  long long value = static_cast<long long>(number.magnitude);
  if (number.negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(value);
}

std::uint32_t Low16(std::int32_t v) { return static_cast<std::uint32_t>(v) & 0xFFFFu; }

bool IsValidOperator(std::string_view op) {
  return op == "=" || op == "==" || op == "!=" || op == "<" || op == "<=" || op == ">" || op == ">=";
}

std::string ExpandedOperand(const EngineContext& ctx, const std::string& operand) {
  std::string expanded;
  return ExpandSymbols(ctx, operand, expanded, kOperandSize) == 0 ? expanded : operand;
}
}  // namespace

VersionPair ReadVersionPair(std::string_view operand) {
  std::string_view text = CutToBytes(operand, kVersionTextBytes);
  std::string_view parts[4];
  std::size_t count = 0;
  std::string_view rest = text;
  while (count < 4) {
    std::size_t dot = FindChar(rest, '.');
    parts[count++] = rest.substr(0, dot);
    if (dot == std::string_view::npos) break;
    rest = rest.substr(dot + 1);
  }
  VersionPair pair;
  if (count == 1) {
    pair.high = static_cast<std::uint32_t>(ReadDecimal(parts[0]));
    return pair;
  }
  // Every part counts, also one written "0": 5.0 orders above 4.1.
  pair.high = Low16(ReadDecimal(parts[0])) << 16 | Low16(ReadDecimal(parts[1]));
  if (count >= 3) {
    std::uint32_t d = count >= 4 ? Low16(ReadDecimal(parts[3])) : 0;
    pair.low = Low16(ReadDecimal(parts[2])) << 16 | d;
  }
  return pair;
}

bool CompareOperands(std::string_view left, std::string_view right, std::string_view op) {
  if (op == "=" || op == "==") return left == right;
  if (op == "!=") return left != right;
  VersionPair l = ReadVersionPair(left);
  VersionPair r = ReadVersionPair(right);
  bool less = l.high < r.high || (l.high == r.high && l.low < r.low);
  bool equal = l.high == r.high && l.low == r.low;
  if (op == "<") return less;
  if (op == "<=") return less || equal;
  if (op == ">") return !less && !equal;
  if (op == ">=") return !less;
  return false;
}

bool EvaluateCondition(const EngineContext& ctx, std::string_view condition) {
  std::string clause;
  while (NextItem(condition, '|', kClauseSize, clause) && !clause.empty()) {
    std::size_t at = FindAnyChar(clause, "=<>!");
    if (at == std::string::npos) return false;
    std::string left = TrimmedCopy(std::string_view(clause).substr(0, at));
    std::size_t opLength = at + 1 < clause.size() && clause[at + 1] == '=' ? 2 : 1;
    std::string op = clause.substr(at, opLength);
    std::string right = TrimmedCopy(std::string_view(clause).substr(at + opLength));
    if (left.empty() || !IsValidOperator(op)) return false;
    if (CompareOperands(ExpandedOperand(ctx, left), ExpandedOperand(ctx, right), op)) return true;
  }
  return false;
}

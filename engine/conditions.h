#pragma once
// Conditions of CALLIF, GOTOIF, RETURNIF and CONTINUEIF.
#include <cstdint>
#include <string_view>

struct EngineContext;

struct VersionPair {
  std::uint32_t high = 0;
  std::uint32_t low = 0;
};

// Clauses joined by "|"; true when any holds. Operands are expanded here.
bool EvaluateCondition(const EngineContext& ctx, std::string_view condition);
// "=", "==", "!=" compare text; "<", "<=", ">", ">=" compare version pairs.
bool CompareOperands(std::string_view left, std::string_view right, std::string_view op);
VersionPair ReadVersionPair(std::string_view operand);

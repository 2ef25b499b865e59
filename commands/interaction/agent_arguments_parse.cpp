#include "commands/interaction/agent_arguments_parse.h"

#include "engine/final_status.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kProgressArgumentSize = 512;
constexpr std::size_t kProgressFieldSize = 260;
constexpr std::uint64_t kSignedLimit = 0x80000000ull;
}  // namespace

ProgressFields SplitProgressArgument(std::string_view argument) {
  std::string copy = FitToBuffer(argument, kProgressArgumentSize);
  TrimText(copy);
  std::string_view rest = copy;
  ProgressFields fields;
  NextItem(rest, ',', kProgressFieldSize, fields.first);
  NextItem(rest, ',', kProgressFieldSize, fields.second);
  NextItem(rest, ',', kProgressFieldSize, fields.third);
  NextItem(rest, ',', kProgressFieldSize, fields.text);
  return fields;
}

std::int32_t ReadLongNumber(std::string_view text) {
  DecimalPrefix number = ReadDecimalPrefix(text);
  if (number.negative) {
    if (number.magnitude >= kSignedLimit) return INT32_MIN;
    return -static_cast<std::int32_t>(number.magnitude);
  }
  if (number.magnitude >= kSignedLimit) return INT32_MAX;
  return static_cast<std::int32_t>(number.magnitude);
}

FinalStatusArgument ParseFinalStatusArgument(std::string_view expanded) {
  FinalStatusArgument result;
  std::size_t comma = FindChar(expanded, ',');
  std::string_view number = expanded.substr(0, comma);
  if (comma != std::string_view::npos) result.message = TrimmedCopy(expanded.substr(comma + 1));
  result.numberText = TrimmedCopy(number);
  std::string_view digits = result.numberText;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  result.notANumber =
      digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos;
  DecimalPrefix read = ReadDecimalPrefix(number);
  if (read.negative) {
    result.outOfRange = read.magnitude > kSignedLimit;
    result.status = result.outOfRange
                        ? kComFailure
                        : static_cast<std::int32_t>(-static_cast<std::int64_t>(read.magnitude));
  } else {
    result.outOfRange = read.magnitude >= kSignedLimit;
    // The 32-bit pattern of a number up to 4294967295, negative from 2147483648 on.
    result.status = read.tooLarge || read.magnitude > 0xFFFFFFFFull
                        ? kComFailure
                        : static_cast<std::int32_t>(static_cast<std::uint32_t>(read.magnitude));
  }
  return result;
}

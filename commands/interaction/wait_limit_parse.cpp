#include "commands/interaction/wait_limit_parse.h"

#include "engine/text_args.h"

WaitLimit ReadWaitLimit(std::string_view text) {
  DecimalPrefix number = ReadDecimalPrefix(text);
  WaitLimit limit;
  if (number.negative && number.magnitude != 0) {
    limit.unlimited = true;
  } else if (number.tooLarge || number.magnitude > kLongestWaitMs) {
    limit.ms = kLongestWaitMs;
  } else {
    limit.ms = static_cast<std::uint32_t>(number.magnitude);
  }
  return limit;
}

std::string WaitLimitText(const WaitLimit& limit) {
  return limit.unlimited ? "without a time limit" : "at most " + std::to_string(limit.ms) + " ms";
}

#include "commands/interaction/install_cab_parse.h"

#include <limits>

#include "engine/errors.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
std::int32_t ReadNumber(std::string_view text) {
  const DecimalPrefix prefix = ReadDecimalPrefix(text);
  const std::int64_t limit =
      prefix.negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = static_cast<std::int64_t>(prefix.magnitude);
  if (prefix.tooLarge || magnitude > limit) magnitude = limit;
  return static_cast<std::int32_t>(prefix.negative ? -magnitude : magnitude);
}

// The field up to the next comma, trimmed; its untrimmed length tells whether
// it fits.
std::string_view NextField(std::string_view& rest) {
  std::size_t comma = FindChar(rest, ',');
  std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  return field;
}
}  // namespace

unsigned SplitInstallCabArgument(std::string_view argumentText, std::string& symbolName,
                                 std::string& value) {
  if (SplitNameValue(argumentText, kCabSymbolNameSize, kCabValueSize, symbolName, value) != 0 ||
      value.empty()) {
    return kErrInvalidSwitch;
  }
  return 0;
}

unsigned SplitInstallCabFields(std::string_view expanded, InstallCabFields& fields) {
  fields = InstallCabFields{};
  std::string_view rest = expanded;
  fields.cabinetPath = TrimmedCopy(NextField(rest));
  if (fields.cabinetPath.empty() || fields.cabinetPath.size() >= kCabFieldSize) {
    return kErrInvalidSwitch;
  }
  for (std::int32_t& number : fields.numbers) {
    if (rest.empty()) break;
    number = ReadNumber(CutToBytes(NextField(rest), kCabFieldSize - 1));
  }
  return 0;
}

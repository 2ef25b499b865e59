#include "commands/interaction/progress_arguments_parse.h"

#include "engine/text_args.h"
#include "support/mbcs.h"

ProgressArguments ParseProgressArguments(std::string_view text) {
  ProgressArguments arguments;
  std::string_view positionText = text;
  std::size_t comma = FindChar(text, ',');
  if (comma != std::string_view::npos) {
    positionText = text.substr(0, comma);
    arguments.statusText = TrimmedCopy(text.substr(comma + 1));
  }
  // A number of any length lands on an end of the bar; it never wraps into the range.
  DecimalPrefix number = ReadDecimalPrefix(TrimmedCopy(positionText));
  if (number.negative && number.magnitude > 0) {
    arguments.position = kProgressMin;
  } else if (number.magnitude > static_cast<unsigned>(kProgressMax)) {
    arguments.position = kProgressMax;
  } else {
    arguments.position = static_cast<int>(number.magnitude);
  }
  return arguments;
}

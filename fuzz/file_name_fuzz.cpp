// The file-name object's text operations on arbitrary paths and components, in single- and
// double-byte code pages: nothing reads or writes outside a text, a join keeps the path
// it was made from, and a character past the end is refused with the library's exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/exception.h"
#include "support/file_name.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const char separator = data[0] & 2 ? '/' : '\\';
  std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::size_t split = text.empty() ? 0 : data[1] % (text.size() + 1);
  std::string path = text.substr(0, split), component = text.substr(split);

  CFileName name(path);
  std::string before = name.Path(), last;
  name.Append(component.c_str(), separator);
  if (name.Path().size() > before.size() + 1 + component.size()) __builtin_trap();
  if (!before.empty() &&
      name.Path().compare(0, before.size() - 1, before, 0, before.size() - 1) != 0) {
    __builtin_trap();
  }
  name.GetLastComponent(last, separator);
  if (last.size() > name.Path().size()) __builtin_trap();
  std::size_t length = name.Path().size();
  name.RemoveLastComponent(separator);
  if (name.Path().size() > length) __builtin_trap();
  if (name.At(name.Path().size()) != '\0') __builtin_trap();
  try {
    name.At(name.Path().size() + 1);
    __builtin_trap();
  } catch (const CException& e) {
    if (e.Code() != CException::kBeyondText) __builtin_trap();
  }
  name.HasWildcards();
  return 0;
}

#include "commands/registry/registry_path_parse.h"

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kFieldMax = kRegistryFieldSize - 1;

struct PrefixRow {
  const char* prefix;
  RegistryRoot root;
};
constexpr PrefixRow kPrefixes[] = {
    {"HKLM\\", RegistryRoot::LocalMachine},  {"HKCR\\", RegistryRoot::ClassesRoot},
    {"HKCU\\", RegistryRoot::CurrentUser},   {"HKUS\\", RegistryRoot::Users},
    {"HKCC\\", RegistryRoot::CurrentConfig},
};

// The text up to the first `separator` when it is found within a field's bound.
bool TakeField(std::string_view text, char separator, std::string_view& field,
               std::string_view& rest) {
  std::size_t at = FindChar(text, separator);
  if (at == std::string_view::npos || at > kFieldMax) return false;
  field = text.substr(0, at);
  rest = text.substr(at + 1);
  return true;
}

}  // namespace

unsigned ParseRootPrefix(std::string_view keyPath, RegistryRoot& root) {
  std::string_view head = keyPath.substr(0, kRootPrefixLength);
  for (const PrefixRow& row : kPrefixes) {
    if (head == row.prefix) {
      root = row.root;
      return 0;
    }
  }
  return 20;
}

unsigned ParseValueReadSpec(std::string_view text, ValueReadSpec& fields) {
  std::string_view name, keyAndValue;
  if (!TakeField(text, '=', name, keyAndValue)) return 23;
  std::string path = TrimmedCopy(keyAndValue);
  RegistryRoot root;
  if (ParseRootPrefix(path, root) != 0) return 20;
  std::string_view subKey, valueName;
  if (!TakeField(SubKeyOf(path), ',', subKey, valueName)) return 22;
  if (valueName.size() > kFieldMax) return 25;
  fields.symbolName = TrimmedCopy(name);
  fields.root = root;
  fields.subKey = TrimmedCopy(subKey);
  fields.valueName = TrimmedCopy(valueName);
  return 0;
}

unsigned ParseValueWriteSpec(std::string_view text, ValueWriteSpec& fields) {
  RegistryRoot root;
  if (ParseRootPrefix(text, root) != 0) return 20;
  std::string_view subKey, nameAndData, valueName, data;
  if (!TakeField(SubKeyOf(text), ',', subKey, nameAndData)) return 22;
  if (!TakeField(nameAndData, '=', valueName, data)) return 21;
  if (data.size() > kFieldMax) return 25;
  fields.root = root;
  fields.subKey = TrimmedCopy(subKey);
  fields.valueName = TrimmedCopy(valueName);
  fields.data = TrimmedCopy(data);
  fields.type = TakeTypeTag(fields.data);
  return 0;
}

unsigned SplitPathAndName(std::string_view text, std::string& path, std::string& name) {
  std::string_view before, after;
  if (!TakeField(text, ',', before, after)) return 51;
  path = TrimmedCopy(before);
  name = TrimmedCopy(after);
  return 0;
}

unsigned ParseKeyTestSpec(std::string_view text, KeyTestSpec& fields) {
  if (unsigned rc = SplitNameValue(text, kRegistryFieldSize, kRegistryFieldSize,
                                   fields.symbolName, fields.keyPath)) {
    return rc;
  }
  return ParseRootPrefix(fields.keyPath, fields.root);
}

unsigned ParseEmptyKeyTestSpec(std::string_view text, KeyTestSpec& fields) {
  if (SplitNameValue(text, kRegistryFieldSize, kRegistryFieldSize, fields.symbolName,
                     fields.keyPath) != 0) {
    return 51;
  }
  return ParseRootPrefix(fields.keyPath, fields.root);
}

unsigned ParseNewKeySpec(std::string_view text, NewKeySpec& fields) {
  std::string rest;
  if (SplitPathAndName(text, fields.parentPath, rest) != 0) {
    // A bad root is reported as such even when the "," is missing too.
    return ParseRootPrefix(TrimmedCopy(text), fields.root) != 0 ? 20 : 51;
  }
  if (unsigned rc = ParseRootPrefix(fields.parentPath, fields.root)) return rc;
  // The new key's name runs to the next "," or the end; it may name several levels.
  fields.childName = TrimmedCopy(std::string_view(rest).substr(0, FindChar(rest, ',')));
  if (fields.childName.empty() || fields.childName.size() >= kRegistryFieldSize) return 51;
  return 0;
}

bool NamesRootItself(const std::string& subKey) {
  return subKey.find_first_not_of("\\ \t") == std::string::npos;
}

std::uint32_t TakeTypeTag(std::string& data) {
  std::size_t colon = FindChar(data, ':');
  if (colon == std::string::npos) return kRegistryTypeString;
  std::string_view tag(data.data(), colon);
  std::uint32_t type;
  if (EqualsNoCase(tag, "/REG_SZ")) {
    type = kRegistryTypeString;
  } else if (EqualsNoCase(tag, "/REG_DWORD")) {
    type = kRegistryTypeDword;
  } else {
    return kRegistryTypeString;
  }
  data.erase(0, colon + 1);
  return type;
}

bool DwordFromText(std::string_view text, std::uint32_t& value) {
  DecimalPrefix number = ReadDecimalPrefix(text);
  // Magnitude limits: 2^32 - 1 for positive numbers, 2^31 for negative ones.
  const std::uint64_t limit = number.negative ? 0x80000000ull : 0xFFFFFFFFull;
  if (number.tooLarge || number.magnitude > limit) return false;
  std::uint32_t bits = static_cast<std::uint32_t>(number.magnitude);
  value = number.negative ? static_cast<std::uint32_t>(0u - bits) : bits;
  return true;
}

std::string DwordToText(std::uint32_t value) {
  std::int64_t signedValue = value >= 0x80000000u ? static_cast<std::int64_t>(value) - 0x100000000ll
                                                  : static_cast<std::int64_t>(value);
  return std::to_string(signedValue);
}

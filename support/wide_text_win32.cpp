#include "support/wide_text.h"

namespace {
int WideLength(const std::string& text) {
  return text.empty() ? 0
                      : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0);
}
}  // namespace

std::wstring WideFromAnsi(const std::string& text) {
  const int length = WideLength(text);
  std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 0, L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  }
  return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int wideLength = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string ansi(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, ansi.data(), length, nullptr, nullptr);
  }
  return ansi;
}

std::string AnsiFromBstr(BSTR text) {
  return text ? AnsiFromWide(std::wstring(text, SysStringLen(text))) : std::string();
}

ComString::ComString(const std::string& text) {
  const std::wstring wide = WideFromAnsi(text);
  value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

#pragma once
// Texts crossing into the system's wide-character and COM interfaces: the program's texts are
// ANSI byte strings, those interfaces take UTF-16.
#include <windows.h>
#include <oleauto.h>

#include <string>

std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::wstring& text);
// The ANSI form of a COM string (null: the empty text).
std::string AnsiFromBstr(BSTR text);

// A COM string made from an ANSI text, freed when it goes.
class ComString {
 public:
  explicit ComString(const std::string& text);
  ~ComString() { SysFreeString(value_); }
  ComString(const ComString&) = delete;
  ComString& operator=(const ComString&) = delete;
  BSTR Get() const { return value_; }
  // Hands the string to a caller that frees it (an [out] argument).
  BSTR Release() {
    BSTR value = value_;
    value_ = nullptr;
    return value;
  }

 private:
  BSTR value_ = nullptr;
};

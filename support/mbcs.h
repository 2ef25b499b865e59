#pragma once
// Multi-byte (ANSI code page) aware scanning. Scripts and paths are byte strings in the
// system's ANSI code page; in a double-byte code page a lead byte and the byte after it
// form one character, and that trail byte may equal "\", "|", "[" or any separator.
// Every scan for a separator goes through these helpers so a trail byte is never taken
// for one.
#include <cstddef>
#include <string>
#include <string_view>

// True when `c` is a lead byte of the active ANSI code page (table built once).
bool IsLeadByte(unsigned char c);

// Byte length of the character starting at `pos` (2 for a lead byte with a trail byte
// behind it, else 1). `pos` must be < text.size().
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
  return (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
          text[pos + 1] != '\0')
             ? 2
             : 1;
}

// Position of the first character `c` at or after `from` (a single-byte character only),
// or npos.
std::size_t FindChar(std::string_view text, char c, std::size_t from = 0);

// Position of the first character that is any of `chars`, or npos.
std::size_t FindAnyChar(std::string_view text, std::string_view chars, std::size_t from = 0);

// Position of the first occurrence of `needle` starting on a character boundary, or npos.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);

// Position of the last character `c`, or npos.
std::size_t FindLastChar(std::string_view text, char c);

// `text` without the characters `c` at its end (a single-byte character only: the trail
// byte of a double-byte character is never taken for it).
std::string_view WithoutTrailingChar(std::string_view text, char c);

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a
// double-byte character. Fields with a fixed bound are cut with this.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

// For tests and fuzzing of the OS-free build: pretend the ANSI code page is `codePage`
// (932 or 0 for single-byte). The Windows build always uses the real code page.
void SetAnsiCodePageForTesting(unsigned codePage);

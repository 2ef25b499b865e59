#pragma once
// Text routines that know no script: white space, trimming, the case-blind compare and the
// key="value" lookup. All of them move a whole character at a time, so the trail byte of a
// double-byte character is never taken for white space, a letter or a quote.
#include <string>
#include <string_view>

// Space, tab, CR, LF, VT or FF.
bool IsWhiteSpace(char c);

// Removes leading and trailing white space in place.
void TrimText(std::string& text);
std::string TrimmedCopy(std::string_view text);

// The value of key="value" in a parameter text ("Params="); empty when absent or unclosed.
// The key must start the text or follow a character that cannot be part of a key, so "id"
// does not match inside pid="7". The search is case-sensitive.
std::string ParamValue(std::string_view params, std::string_view key);

// Compare without regard to the case of ASCII letters; a double-byte character compares
// exactly (its trail byte may look like a letter, and folding it would make two different
// characters equal). Command words, switch names, keywords, registry roots and INI names
// all compare this way.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

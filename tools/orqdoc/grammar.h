#pragma once
// The editor grammar of ORQ scripts (a TextMate grammar as JSON), made from the command table
// so that an editor colours exactly the words the engine knows.
#include <string>

std::string OrqGrammarJson();

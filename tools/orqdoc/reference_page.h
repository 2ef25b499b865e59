#pragma once
// The command reference page (Markdown), made from the command table and the error messages.
#include <string>

std::string CommandReferencePage();

#pragma once
// Applies a registrar script (host/registrar_script_parse.h) to the registry.
#include <string>
#include <string_view>
#include <vector>

#include "host/registrar_script_parse.h"

enum class RegistrarMode { Register, Unregister };

// Register: every key is created (a "ForceRemove" key is first deleted with everything
// below it, a "Delete" key is only deleted) and its values written; the first failure ends
// the walk. Unregister: a "ForceRemove" key goes with everything below it; any other key
// loses the values the script names (not those marked "NoRemove") and its named sub-keys,
// and is then deleted when nothing is left in it, so what others wrote there stays. Keys
// marked "NoRemove" and the never-removed ones stay. Returns a COM status (a script that
// does not parse gives E_INVALIDARG, a registry failure its error as a COM status).
long ApplyRegistrarScript(std::string_view script, RegistrarMode mode,
                          const std::vector<RegistrarVariable>& variables);

// The "Module" value for `longPath`: its short form when the system gives one, the long
// path when it gives none; E_OUTOFMEMORY when the short form does not fit 259 bytes.
long RegistrarModulePath(const std::string& longPath, std::string& modulePath);

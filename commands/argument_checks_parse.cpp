#include "commands/argument_checks.h"

// Filled in with the parsers of each family.
ArgumentCheck ArgumentCheckOf(unsigned) { return nullptr; }

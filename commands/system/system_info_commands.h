#pragma once
// The rows of the system information command family.
class HandlerTable;

// GETOSTYPE, GETOSVERSION, GETWINDOWSDIR, GETSPECIALDIR, GETPROCESSORTYPE, WAITFORTIME,
// ISADMIN, GETORQEXVERSION, GETTIMESTAMP, GETSYSTEMINFO, GENERATEGUID.
void RegisterSystemInfoCommands(HandlerTable& table);

#pragma once
// The rows of the file and folder command family.
class HandlerTable;

// GETFILEVERSION, STRIPFILENAME, FILEEXISTS, ISFILELOCKED, WAITTILLUNLOCKED,
// CREATEDIR, REMOVEDIR, REMOVEDIRRECURSIVE, CREATESPECIALDIR,
// CONVERTTOSHORTPATHNAME.
void RegisterFileCommands(HandlerTable &table);

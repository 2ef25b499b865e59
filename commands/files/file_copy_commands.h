#pragma once
// Copying and removing a package's files.
#include <string>

class HandlerTable;

// COPYFILES, DELFILES, FILECIO, FILECOW (empty rows outside a walk), COPYONEFILE,
// DELETEONEFILE, CANALLFILESBECOPIED, ISCURRENTFILEOLDER.
void RegisterFileCopyCommands(HandlerTable& table);

// The copy step of one FILECIO (`overwrite` false: a target with a later last-write time
// is kept) or FILECOW line. 0 when copied or not needed, 9 when the source cannot be
// opened, 56 on a full disk, 33 when five attempts a second apart failed.
unsigned CopyListedFile(const std::string& target, const std::string& source, bool overwrite);

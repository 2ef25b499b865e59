#pragma once
// The command families that leave traces outside the run: restart, start menu,
// PATH and cabinets.
class HandlerTable;

void RegisterRestartCommands(HandlerTable& table);      // SETREBOOTFLAG, PROMPTREBOOT
void RegisterStartMenuCommands(HandlerTable& table);    // ADDSTARTMENU, GETSTARTMENUDIR
void RegisterEnvironmentCommands(HandlerTable& table);  // EXTENDPATH
void RegisterCabinetCommands(HandlerTable& table);      // INSTALLCAB, RESETLASTUPDATE

#pragma once
// The command families that leave traces outside the run: restart, start menu,
// PATH and cabinets.
class HandlerTable;

void RegisterRestartCommands(HandlerTable& table);      // SETREBOOTFLAG, PROMPTREBOOT
void RegisterStartMenuCommands(HandlerTable& table);    // ADDSTARTMENU, GETSTARTMENUDIR
void RegisterEnvironmentCommands(HandlerTable& table);  // EXTENDPATH
void RegisterCabinetCommands(HandlerTable& table);      // INSTALLCAB, RESETLASTUPDATE
// Lets go of the cabinet installer that the run's INSTALLCAB lines shared (at the end of a
// run, before COM ends), so that its server ends too.
void ReleaseRunCabInstaller();

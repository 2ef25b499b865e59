#pragma once
// The rows of the program and application-window command families.
class HandlerTable;

// RUN, RUNWAIT, RUNHIDE, RUNHIDEWAIT, SHELLEXECUTE.
void RegisterRunCommands(HandlerTable& table);
// CLOSEAPP, ISAPPRUNNING, WAITFORWINDOWCLOSE.
void RegisterAppWindowCommands(HandlerTable& table);
// STARTUSERAPP, CLOSEUSERAPP (through the calling agent).
void RegisterUserAppCommands(HandlerTable& table);

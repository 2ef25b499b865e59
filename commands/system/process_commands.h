#pragma once
class HandlerTable;

// KILLPROCESS and ISPROCESSRUNNING.
void RegisterProcessCommands(HandlerTable &table);

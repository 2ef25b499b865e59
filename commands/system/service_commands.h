#pragma once
// The rows of the service command family.
class HandlerTable;

// STOPSERVICE, STARTSERVICE, CREATESERVICE, DELETESERVICE, ISSERVICERUNNING.
void RegisterServiceCommands(HandlerTable& table);

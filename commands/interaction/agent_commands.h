#pragma once
class HandlerTable;

// PROGRESS and SETFINALSTATUS: what the script tells the calling agent.
void RegisterAgentCommands(HandlerTable& table);

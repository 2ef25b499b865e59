// Placeholder until the agent's interfaces are taken from their marshaling packets: no
// agent is ever connected, so every call is skipped.
#include "host/agent_link.h"

void AgentConnect(const std::string&, const std::string&) {}
bool AgentHasCallback() { return false; }
void AgentProgress(long, long, long, const std::string&) {}
void AgentFinish(long, const std::string&) {}
bool AgentStartApplication(const std::string&, long) { return false; }
bool AgentCloseApplication(const std::string&, const std::string&, long, long) { return false; }
IUnknown* AgentApplicationUtility() { return nullptr; }

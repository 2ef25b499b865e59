#pragma once
// The calling agent's two interfaces: the progress callback ("CallBack=") and the
// application utility ("AppUtil="), taken from their hexadecimal marshaling packets at
// start-up. Every call is skipped when the agent handed over no such interface; the
// results of the agent's methods are ignored.
#include <string>

struct IUnknown;

// Takes both interfaces (an empty text: none); a failure leaves that one empty, silently.
void AgentConnect(const std::string& callbackText, const std::string& appUtilText);
bool AgentHasCallback();
// Progress(first, second, third, text) on the callback.
void AgentProgress(long first, long second, long third, const std::string& text);
// Finished(status, message) on the callback, then both interfaces are released. Called once
// at the end of every run; a second call finds nothing to call.
void AgentFinish(long status, const std::string& message);
// Start application(command, number) / Close application(name, second, 30000, -1) on the
// application utility. False when the agent gave none.
bool AgentStartApplication(const std::string& command, long number);
bool AgentCloseApplication(const std::string& name, const std::string& second, long timeoutMs,
                           long flags);
// The application utility (no reference added), handed on to the cabinet installer; null
// when the agent gave none.
IUnknown* AgentApplicationUtility();

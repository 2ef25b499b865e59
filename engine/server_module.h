#pragma once
// The local-server module's lock count. The program exposes no COM classes, so there is no
// class table to walk and nothing ends the process when the count returns to 0; an object
// that the engine hands out (the cabinet installer's event sink) takes a lock while it lives.
// Atomic; both return the new count.
long ServerModuleLock();
long ServerModuleUnlock();

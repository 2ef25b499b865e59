#pragma once
// The local-server module object: the lock count, the shutdown monitor and the class
// table. The program exposes no classes, so the table is empty and registering or revoking
// its class objects does nothing; the lock count and the monitor still run during every
// script run (an object that the engine hands out, such as the cabinet installer's event
// sink, takes a lock while it lives).
#include <windows.h>

// Once at start-up, with the thread that receives the monitor's quit message.
void ServerModuleInit(DWORD mainThreadId);
// Once before exit: stops the monitor thread and closes its handles.
void ServerModuleTerm();

// Atomic; an unlock that brings the count to 0 wakes the monitor. Both return the new count.
long ServerModuleLock();
long ServerModuleUnlock();

// Starts the monitor: once the count has come back to 0 and no lock or unlock happened for
// 5 seconds, it posts the quit message (WM_QUIT) to the main thread and ends. False when
// its event or its thread cannot be created.
bool StartShutdownMonitor();

// Walk the (empty) class table with class context local server and multiple use.
HRESULT RegisterServerClassObjects();
HRESULT RevokeServerClassObjects();
// Walk the (empty) class table writing or removing each class's registry entries.
HRESULT RegisterServerClassesInRegistry();
HRESULT UnregisterServerClassesInRegistry();

#pragma once
// Registration of the program as a COM local server ("RegServer", "UnregServer").
// Both return a COM status; a non-negative one makes the exit code 0.
long RegisterLocalServer();
long UnregisterLocalServer();

// Placeholder until the local-server registration (AppID entry from the registry script
// resource, type library) is built: both report success without touching the registry.
#include "host/server_registration.h"

long RegisterLocalServer() { return 0; }
long UnregisterLocalServer() { return 0; }

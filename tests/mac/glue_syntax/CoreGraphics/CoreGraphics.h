// Test-only: resolves the platform header of this name to the glue shim.
#include "../AppleGlueShim.h"

#ifndef COGNEXA_EXAMPLE_HOST_H
#define COGNEXA_EXAMPLE_HOST_H

#include "ExampleContext.h"

#include <cognexa/cognexa.h>

// Hands the example game's tokens, databases and callbacks to the library (Init_Perception_DLL)
// and installs a notice handler that prints notices. The random source is seeded, so runs repeat.
void Install_Example_Host(MegaFileManagerClass* file_manager);

#endif

#ifndef COGNEXA_HOST_BINDING_H
#define COGNEXA_HOST_BINDING_H

// The hand-ins' header under its first name, kept so that hosts written against it still build.
#include <cognexa/HostHandIns.h>

#endif

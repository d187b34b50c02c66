#ifndef COGNEXA_PERCEPTION_STRING_HANDLE_H
#define COGNEXA_PERCEPTION_STRING_HANDLE_H

#include <cognexa/Export.h>

// A string literal of an equation ("abc", upper-cased to ABC) reaches the host as a bound
// parameter value whose 32 bits are a handle, not a number: take the bits with
// PerceptionEvaluationStateClass::Value_Bits and resolve them here. A handle stays valid while
// the equation that holds the literal lives; 0 is never a handle.
//
// The text, or null for a value that is not a live handle.
COGNEXA_API const char* Resolve_Perception_String(unsigned int handle);

#endif

#ifndef COGNEXA_PERCEPTION_TOKEN_TYPE_H
#define COGNEXA_PERCEPTION_TOKEN_TYPE_H

// A perception token of the host. The library only stores and passes tokens; their
// meaning, and the mapping from names, belong to the host.
typedef int PerceptionTokenType;

// The host's evaluation context. Opaque: the library passes it back to the host unchanged.
class PerceptionContextClass;

#endif

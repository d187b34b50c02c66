#ifndef COGNEXA_FUZZ_FUZZ_HOST_H
#define COGNEXA_FUZZ_FUZZ_HOST_H

#include <cognexa/cognexa.h>

class PerceptionContextClass {
public:
    int Id = 0;
};

// A host that accepts every token name and every database object, so the fuzzer reaches the
// builder and the evaluator instead of stopping at the converter. Token values depend on the
// path, and include NaN and infinities, so every node meets awkward numbers.
namespace FuzzHost {

// Installs the hand-ins (files may be null) and a notice handler that shows nothing.
void Install(MegaFileManagerClass* files);

// The context every evaluation runs for.
PerceptionContextClass& Context();

}  // namespace FuzzHost

#endif

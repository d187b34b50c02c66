#ifndef COGNEXA_TESTS_HOST_TEST_HAND_INS_STRUCT_H
#define COGNEXA_TESTS_HOST_TEST_HAND_INS_STRUCT_H

#include "foundation/TheHostBinding.h"

#include <cognexa/Notice.h>

// The test host: the thirteen hand-ins of Init_Perception_DLL that the tests, benchmarks and
// fuzz targets install, in the record the library keeps them in. Each suite sets the few it needs
// and installs the rest as they are. Every callback is null by default (the library calls none
// of them unless an operation needs it) or, after Fill_Harmless_Callbacks, one that does nothing
// that a test could notice; the state methods are the library's own, and notices go to a handler
// that shows nothing unless one is given.
struct TestHandInsStruct : HostBindingStruct {
    TestHandInsStruct()
    {
        Set_State_Value_Method = &PerceptionEvaluationStateClass::Set_Value;
        Reset_State_Method = &PerceptionEvaluationStateClass::Reset_Values;
    }

    NoticeHandlerType Notice_Handler = nullptr;

    // Each callback still null becomes a harmless one: bindings accepted, notifications ignored,
    // the random operator gives the midpoint, nothing allocated, no file skipped, loaded files
    // ignored, no database known.
    void Fill_Harmless_Callbacks();
    // Hands everything above to the library, and the notice handler (a silent one when null).
    void Install() const;
    // Hands the library nothing: every hand-in null, notices back to the library's default.
    static void Uninstall();
    // A notice handler that shows nothing.
    static void Silent_Notice(const char* caption, const char* text);
};

#endif

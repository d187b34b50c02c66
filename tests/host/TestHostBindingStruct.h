#ifndef COGNEXA_TESTS_HOST_TEST_HOST_BINDING_STRUCT_H
#define COGNEXA_TESTS_HOST_TEST_HOST_BINDING_STRUCT_H

#include "foundation/TheHostBinding.h"

#include <cognexa/Notice.h>

// The thirteen hand-ins of Init_Perception_DLL for the tests, benchmarks and fuzz targets, in the
// record the library keeps them in: each sets the few it needs and installs the rest as they are.
// Every callback is null by default (the library calls none of them unless an operation needs
// it); the state methods are the library's own, and notices go to a handler that shows nothing
// unless one is given.
struct TestHostBindingStruct : HostBindingStruct {
    TestHostBindingStruct()
    {
        Set_State_Value_Method = &PerceptionEvaluationStateClass::Set_Value;
        Reset_State_Method = &PerceptionEvaluationStateClass::Reset_Values;
    }

    NoticeHandlerType Notice_Handler = nullptr;

    // Hands everything above to the library, and the notice handler (a silent one when null).
    void Install() const;
    // Hands the library nothing: every hand-in null, notices back to the library's default.
    static void Uninstall();
};

#endif

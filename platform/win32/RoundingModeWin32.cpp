#include "foundation/RoundingMode.h"

#include <float.h>

namespace {

void Set_Rounding_Toward_Zero()
{
    // _controlfp_s sets the x87 and the SSE control words alike.
    unsigned int control;
    _controlfp_s(&control, _RC_CHOP, _MCW_RC);
}

// Runs when the DLL loads: enough for a host that loads it with LoadLibrary after start-up.
__attribute__((constructor)) void Set_Rounding_Toward_Zero_On_Load()
{
    Set_Rounding_Toward_Zero();
}

}  // namespace

void Restore_Rounding_Lost_At_Program_Start()
{
    Set_Rounding_Toward_Zero();
}

void Set_Evaluation_Rounding_On_This_Thread()
{
    Set_Rounding_Toward_Zero();
}

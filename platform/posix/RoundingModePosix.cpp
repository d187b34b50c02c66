#include "foundation/RoundingMode.h"

#include <cfenv>

namespace {

// The equations are evaluated with round toward zero on the thread that loads the library,
// so results match the game's other arithmetic bit for bit. Nothing restores the mode.
__attribute__((constructor)) void Set_Rounding_Toward_Zero_On_Load()
{
    std::fesetround(FE_TOWARDZERO);
}

}  // namespace

void Set_Evaluation_Rounding_On_This_Thread()
{
    std::fesetround(FE_TOWARDZERO);
}

// Nothing resets the mode between loading and the host's first call here.
void Restore_Rounding_Lost_At_Program_Start() {}

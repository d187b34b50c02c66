#include "foundation/ReportParseError.h"

#include "foundation/NoticeDispatch.h"

namespace {

// A plain flag: reports come from the one thread that builds and evaluates equations.
bool Announced = false;

}  // namespace

void Report_Parse_Error()
{
    if (Announced) {
        return;
    }
    Show_Notice("Perception Parsing Error!",
                          "There were perception parsing errors.  See PerceptionErrors.txt for details.");
    Announced = true;
}

bool Parse_Error_Announced()
{
    return Announced;
}

void Forget_Parse_Error_Announcement()
{
    Announced = false;
}

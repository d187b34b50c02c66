#include "foundation/ReportParseError.h"

#include "foundation/NoticeDispatch.h"

#include <atomic>

namespace {

// Any thread may report (a division by zero while evaluating, a build of its own). The first
// report claims the notice, so it shows once per process however many threads report at once;
// Announced follows when the notice has been closed.
std::atomic<bool> Claimed{false};
std::atomic<bool> Announced{false};

}  // namespace

void Report_Parse_Error()
{
    if (Claimed.load(std::memory_order_relaxed) || Claimed.exchange(true)) {
        return;
    }
    Show_Notice("Perception Parsing Error!",
                "There were perception parsing errors.  See PerceptionErrors.txt for details.");
    Announced.store(true);
}

bool Parse_Error_Announced()
{
    return Announced.load();
}

void Forget_Parse_Error_Announcement()
{
    Announced.store(false);
    Claimed.store(false);
}

#include "tools/ProgressBarClass.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define COGNEXA_ISATTY _isatty
#else
#include <unistd.h>
#define COGNEXA_ISATTY isatty
#endif

namespace {

bool Stderr_Is_Terminal()
{
    return COGNEXA_ISATTY(2) != 0;
}

}  // namespace

ProgressBarClass::ProgressBarClass(const std::string& label, std::size_t total)
    : Label(label), Total(total), Enabled(total >= MIN_STEPS && Stderr_Is_Terminal())
{
}

ProgressBarClass::~ProgressBarClass()
{
    if (Enabled && Shown_Percent >= 0) {
        std::fputc('\n', stderr);
    }
}

void ProgressBarClass::Advance()
{
    ++Done;
    if (!Enabled) {
        return;
    }
    const int percent = static_cast<int>(Done * 100 / Total);
    if (percent != Shown_Percent) {
        Shown_Percent = percent;
        Draw();
    }
}

void ProgressBarClass::Draw() const
{
    constexpr int WIDTH = 40;
    const int filled = Shown_Percent * WIDTH / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%% (%zu/%zu)", Label.c_str(), filled,
                 "########################################", WIDTH - filled, "", Shown_Percent, Done, Total);
    std::fflush(stderr);
}

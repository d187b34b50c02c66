#ifndef COGNEXA_TOOLS_PROGRESS_BAR_CLASS_H
#define COGNEXA_TOOLS_PROGRESS_BAR_CLASS_H

#include <cstddef>
#include <string>

// A progress bar on stderr for long runs: drawn only when stderr is a terminal and the run
// has enough steps to be worth one; redrawn when the shown percentage changes.
class ProgressBarClass {
public:
    static constexpr std::size_t MIN_STEPS = 500;

    ProgressBarClass(const std::string& label, std::size_t total);
    ~ProgressBarClass();
    ProgressBarClass(const ProgressBarClass&) = delete;
    ProgressBarClass& operator=(const ProgressBarClass&) = delete;

    void Advance();

private:
    void Draw() const;

    std::string Label;
    std::size_t Total;
    std::size_t Done = 0;
    int Shown_Percent = -1;
    bool Enabled;
};

#endif

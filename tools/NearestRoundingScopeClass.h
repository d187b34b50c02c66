#ifndef COGNEXA_TOOLS_NEAREST_ROUNDING_SCOPE_CLASS_H
#define COGNEXA_TOOLS_NEAREST_ROUNDING_SCOPE_CLASS_H

#include <cfenv>

// The library evaluates with round toward zero, which it sets for the whole thread. Numbers the
// tool reads from the user or prints for the user are converted with round to nearest while one
// of these is alive, so 0.7 prints "0.7" and not "0.699999".
class NearestRoundingScopeClass {
public:
    NearestRoundingScopeClass() : Saved(std::fegetround()) { std::fesetround(FE_TONEAREST); }
    ~NearestRoundingScopeClass() { std::fesetround(Saved); }
    NearestRoundingScopeClass(const NearestRoundingScopeClass&) = delete;
    NearestRoundingScopeClass& operator=(const NearestRoundingScopeClass&) = delete;

private:
    int Saved;
};

#endif

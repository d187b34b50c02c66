// A minimal host: only the installed headers and library.
#include <cognexa/cognexa.h>

#include <cstdio>

int main()
{
    Init_Perception_DLL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr, nullptr);
    std::puts("installed package works");
    return 0;
}

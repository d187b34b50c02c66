#ifndef COGNEXA_BENCH_LUA_PEER_SUPPORT_H
#define COGNEXA_BENCH_LUA_PEER_SUPPORT_H

// What the Lua 5.4 and LuaJIT peers share: both are loaded with dlopen, because they export the
// same C names, and both read the corpus's texts as Lua expressions.
#include <dlfcn.h>

#include <string>

namespace LuaPeerSupport {

// "--" starts a comment in Lua: "2--1" is written "2- -1".
inline std::string Without_Comments(std::string expression)
{
    for (std::size_t position = expression.find("--"); position != std::string::npos;
         position = expression.find("--", position)) {
        expression.insert(position + 1, " ");
    }
    return expression;
}

template <typename Function>
bool Find(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace LuaPeerSupport

#endif

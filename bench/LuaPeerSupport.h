#ifndef COGNEXA_BENCH_LUA_PEER_SUPPORT_H
#define COGNEXA_BENCH_LUA_PEER_SUPPORT_H

// What the Lua 5.4 and LuaJIT peers share: both are loaded with dlopen, because they export the
// same C names, both read the corpus's texts as Lua expressions, and both compile and run them
// the same way.
#include "EvaluationPeerClass.h"

#include <dlfcn.h>

#include <string>
#include <utility>

struct lua_State;

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

// The compiled expression stays at stack index 1; each evaluation calls a copy of it. Api is the
// engine's table of calls (TheApi, loaded before the first peer is made): the calls both
// engines share by name and form, and Call, Protected_Call and To_Number in one form.
template <typename Api, const Api& TheApi>
class ChunkPeerClass : public EvaluationPeerClass {
public:
    explicit ChunkPeerClass(std::string name) : EvaluationPeerClass(std::move(name)), State(TheApi.New_State())
    {
        TheApi.Open_Libraries(State);
    }
    ~ChunkPeerClass() override { TheApi.Close(State); }

    bool Compile(const std::string& expression) override
    {
        TheApi.Set_Top(State, 0);
        const std::string chunk = Chunk_Of(Without_Comments(expression));
        if (TheApi.Load_String(State, chunk.c_str()) != 0) {
            TheApi.Set_Top(State, 0);
            return false;
        }
        TheApi.Call(State, 1);
        // One protected evaluation: an expression that fails at run time is not taken.
        TheApi.Push_Value(State, 1);
        const bool evaluated = TheApi.Protected_Call(State, 1);
        TheApi.Set_Top(State, 1);
        return evaluated;
    }

    double Evaluate() override
    {
        TheApi.Push_Value(State, 1);
        TheApi.Call(State, 1);
        const double value = TheApi.To_Number(State, -1);
        TheApi.Set_Top(State, 1);
        return value;
    }

    double Nanoseconds_Per_Evaluation(int evaluations) override
    {
        // Named, so the timed loop makes no virtual call.
        return Time_Evaluations(evaluations, [this] { Keep(ChunkPeerClass::Evaluate()); });
    }

protected:
    // The chunk that returns the expression as a function without arguments.
    virtual std::string Chunk_Of(const std::string& expression) const = 0;

    lua_State* const State;
};

}  // namespace LuaPeerSupport

#endif

// LuaJIT 2.1: each variable a C function called through the FFI, and variables read from an FFI
// array of doubles. The library is loaded with dlopen because Lua 5.4 exports the same C names.
#include "BenchHost.h"
#include "EvaluationPeerClass.h"
#include "LuaPeerSupport.h"

#include <luajit-2.1/lua.hpp>

#include <dlfcn.h>

#include <cstdio>
#include <utility>

namespace {

using LuaPeerSupport::Find;

struct LuajitApiStruct {
    decltype(&luaL_newstate) New_State;
    decltype(&luaL_openlibs) Open_Libraries;
    decltype(&luaL_loadstring) Load_String;
    decltype(&lua_call) Call_Plain;
    decltype(&lua_pcall) Protected_Call_Plain;
    decltype(&lua_tonumber) To_Number_Plain;
    decltype(&lua_settop) Set_Top;
    decltype(&lua_pushvalue) Push_Value;
    decltype(&lua_pushlightuserdata) Push_Pointer;
    decltype(&lua_setfield) Set_Field;
    decltype(&lua_close) Close;

    void Call(lua_State* state, int results) const { Call_Plain(state, 0, results); }
    bool Protected_Call(lua_State* state, int results) const { return Protected_Call_Plain(state, 0, results, 0) == 0; }
    double To_Number(lua_State* state, int index) const { return To_Number_Plain(state, index); }
};

LuajitApiStruct TheLuajit;

bool Load_Luajit()
{
    void* library = dlopen("libluajit-5.1.so.2", RTLD_NOW | RTLD_LOCAL);
    return library != nullptr && Find(library, "luaL_newstate", TheLuajit.New_State) &&
           Find(library, "luaL_openlibs", TheLuajit.Open_Libraries) &&
           Find(library, "luaL_loadstring", TheLuajit.Load_String) && Find(library, "lua_call", TheLuajit.Call_Plain) &&
           Find(library, "lua_pcall", TheLuajit.Protected_Call_Plain) &&
           Find(library, "lua_tonumber", TheLuajit.To_Number_Plain) && Find(library, "lua_settop", TheLuajit.Set_Top) &&
           Find(library, "lua_pushvalue", TheLuajit.Push_Value) &&
           Find(library, "lua_pushlightuserdata", TheLuajit.Push_Pointer) &&
           Find(library, "lua_setfield", TheLuajit.Set_Field) && Find(library, "lua_close", TheLuajit.Close);
}

template <int Letter>
double Letter_Function()
{
    return TheLetterValues[Letter];
}

template <int... Letters>
void Publish_Functions(lua_State* state, std::integer_sequence<int, Letters...>)
{
    ((TheLuajit.Push_Pointer(state, reinterpret_cast<void*>(&Letter_Function<Letters>)),
      TheLuajit.Set_Field(state, LUA_GLOBALSINDEX, (std::string("address_") + static_cast<char>('a' + Letters)).c_str())),
     ...);
}

class LuajitPeerClass final : public LuaPeerSupport::ChunkPeerClass<LuajitApiStruct, TheLuajit> {
public:
    explicit LuajitPeerClass(bool functions)
        : ChunkPeerClass(functions ? "luajit_ffi_call" : "luajit_ffi_array"), Functions(functions)
    {
        Publish_Functions(State, std::make_integer_sequence<int, 26>());
        TheLuajit.Push_Pointer(State, TheLetterValues);
        TheLuajit.Set_Field(State, LUA_GLOBALSINDEX, "address_values");
        // The FFI types are made once: a C type parsed again for every expression would fill
        // LuaJIT's type table.
        std::string setup = "local ffi = require('ffi')\nlocal letter = ffi.typeof('double (*)(void)')\n";
        std::string prelude = "local memory = values\n";
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            setup += std::string("function_") + letter + " = ffi.cast(letter, address_" + letter + ")\n";
            prelude += std::string("local ") + letter + " = function_" + letter + "\n";
        }
        setup += "values = ffi.cast('const double *', address_values)\n";
        if (TheLuajit.Load_String(State, setup.c_str()) == 0) {
            TheLuajit.Call(State, 0);
        }
        Prelude = prelude;
    }

private:
    std::string Chunk_Of(const std::string& expression) const override
    {
        const std::string body =
            Functions ? Replace_Variables(expression, [](char letter) { return std::string(1, letter) + "()"; })
                      : Replace_Variables(expression, [](char letter) { return "memory[" + std::to_string(letter - 'a') + "]"; });
        return Prelude + "return function() return " + body + " end";
    }

    bool Functions;
    std::string Prelude;
};

}  // namespace

void Add_Luajit_Peers(EvaluationPeerListType& peers)
{
    if (!Load_Luajit()) {
        return;
    }
    peers.push_back(std::make_unique<LuajitPeerClass>(true));
    peers.push_back(std::make_unique<LuajitPeerClass>(false));
}

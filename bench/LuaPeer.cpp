// Lua 5.4: each variable a C function (lua_CFunction, taken as upvalues), and variables from a
// table. The library is loaded with dlopen because LuaJIT exports the same C names.
#include "BenchHost.h"
#include "EvaluationPeerClass.h"
#include "LuaPeerSupport.h"

#include <lua5.4/lua.hpp>

#include <dlfcn.h>

#include <utility>

namespace {

using LuaPeerSupport::Find;

struct LuaApiStruct {
    decltype(&luaL_newstate) New_State;
    decltype(&luaL_openlibs) Open_Libraries;
    decltype(&luaL_loadstring) Load_String;
    decltype(&lua_callk) Call_K;
    decltype(&lua_pcallk) Protected_Call_K;
    decltype(&lua_tonumberx) To_Number_X;
    decltype(&lua_settop) Set_Top;
    decltype(&lua_pushvalue) Push_Value;
    decltype(&lua_pushcclosure) Push_Closure;
    decltype(&lua_pushnumber) Push_Number;
    decltype(&lua_setglobal) Set_Global;
    decltype(&lua_createtable) Create_Table;
    decltype(&lua_setfield) Set_Field;
    decltype(&lua_close) Close;

    void Call(lua_State* state, int results) const { Call_K(state, 0, results, 0, nullptr); }
    bool Protected_Call(lua_State* state, int results) const
    {
        return Protected_Call_K(state, 0, results, 0, 0, nullptr) == LUA_OK;
    }
    double To_Number(lua_State* state, int index) const { return To_Number_X(state, index, nullptr); }
};

LuaApiStruct TheLua;

bool Load_Lua()
{
    void* library = dlopen("liblua5.4.so.0", RTLD_NOW | RTLD_LOCAL);
    return library != nullptr && Find(library, "luaL_newstate", TheLua.New_State) &&
           Find(library, "luaL_openlibs", TheLua.Open_Libraries) && Find(library, "luaL_loadstring", TheLua.Load_String) &&
           Find(library, "lua_callk", TheLua.Call_K) &&
           Find(library, "lua_pcallk", TheLua.Protected_Call_K) && Find(library, "lua_tonumberx", TheLua.To_Number_X) &&
           Find(library, "lua_settop", TheLua.Set_Top) && Find(library, "lua_pushvalue", TheLua.Push_Value) &&
           Find(library, "lua_pushcclosure", TheLua.Push_Closure) && Find(library, "lua_pushnumber", TheLua.Push_Number) &&
           Find(library, "lua_setglobal", TheLua.Set_Global) && Find(library, "lua_createtable", TheLua.Create_Table) &&
           Find(library, "lua_setfield", TheLua.Set_Field) && Find(library, "lua_close", TheLua.Close);
}

template <int Letter>
int Letter_Function(lua_State* state)
{
    TheLua.Push_Number(state, TheLetterValues[Letter]);
    return 1;
}

template <int... Letters>
void Register_Functions(lua_State* state, std::integer_sequence<int, Letters...>)
{
    ((TheLua.Push_Closure(state, &Letter_Function<Letters>, 0),
      TheLua.Set_Global(state, std::string(1, static_cast<char>('a' + Letters)).c_str())),
     ...);
}

const char* const LETTERS = "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z";

class LuaPeerClass final : public LuaPeerSupport::ChunkPeerClass<LuaApiStruct, TheLua> {
public:
    explicit LuaPeerClass(bool functions) : ChunkPeerClass(functions ? "lua_cfun" : "lua_table"), Functions(functions)
    {
        if (functions) {
            Register_Functions(State, std::make_integer_sequence<int, 26>());
        } else {
            TheLua.Create_Table(State, 0, 26);
            for (int letter = 0; letter < 26; ++letter) {
                TheLua.Push_Number(State, TheLetterValues[letter]);
                TheLua.Set_Field(State, -2, std::string(1, static_cast<char>('a' + letter)).c_str());
            }
            TheLua.Set_Global(State, "V");
        }
    }

private:
    std::string Chunk_Of(const std::string& expression) const override
    {
        // Upvalues, not globals: the quickest way a Lua function reaches them.
        return Functions ? std::string("local ") + LETTERS + " = " + LETTERS + "\nreturn function() return " +
                               Replace_Variables(expression, [](char letter) { return std::string(1, letter) + "()"; }) +
                               " end"
                         : "local V = V\nreturn function() return " +
                               Replace_Variables(expression, [](char letter) { return std::string("V.") + letter; }) + " end";
    }

    bool Functions;
};

}  // namespace

void Add_Lua_Peers(EvaluationPeerListType& peers)
{
    if (!Load_Lua()) {
        return;
    }
    peers.push_back(std::make_unique<LuaPeerClass>(true));
    peers.push_back(std::make_unique<LuaPeerClass>(false));
}

// A small game that does what a game does with the library: it mounts its archives from
// "Data\MegaFiles.xml", hands over its tokens and callbacks, loads every equation file, and
// each frame evaluates the equations and a few calls for its units. Then it reloads the
// equations in place (calls made earlier stay valid), evaluates again and shuts down.
//
// usage: demo_game [GAME_ROOT]
#include "host/ExampleContext.h"
#include "host/ExampleHost.h"
#include "host/ExampleTokens.h"
#include "host/UnitTypeDatabaseClass.h"

#include <cognexa/cognexa.h>
#include <cognexa/MegaFileManagerClass.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

struct UnitStruct {
    const char* Name;
    PerceptionContextClass Context;
};

PerceptionContextClass Make_Unit(float squad_size, float speed, float health, float max_health, float attack,
                                 float enemy_count, float enemy_distance, float enemy_strength, float credits)
{
    PerceptionContextClass context = Make_Example_Context();
    context.Set(TOKEN_UNIT, TOKEN_COUNT, squad_size);
    context.Set(TOKEN_UNIT, TOKEN_STRENGTH, attack * squad_size);
    context.Set(TOKEN_UNIT, TOKEN_DISTANCE, enemy_distance);
    context.Set(TOKEN_UNIT, TOKEN_SPEED, speed);
    context.Set(TOKEN_UNIT, TOKEN_HEALTH, health);
    context.Set(TOKEN_UNIT, TOKEN_MAX_HEALTH, max_health);
    context.Set(TOKEN_UNIT, TOKEN_ATTACK, attack);
    context.Set(TOKEN_ENEMY, TOKEN_COUNT, enemy_count);
    context.Set(TOKEN_ENEMY, TOKEN_DISTANCE, enemy_distance);
    context.Set(TOKEN_ENEMY, TOKEN_STRENGTH, enemy_strength);
    context.Set(TOKEN_ENEMY, TOKEN_HEALTH, enemy_strength * 20);
    context.Set(TOKEN_ENEMY, TOKEN_MAX_HEALTH, enemy_strength * 25);
    context.Set(TOKEN_ENEMY, TOKEN_ATTACK, enemy_strength / 2);
    context.Set(TOKEN_PLAYER, TOKEN_CREDITS, credits);
    return context;
}

std::vector<UnitStruct> Make_Units()
{
    std::vector<UnitStruct> units;
    units.push_back({"Scout bike", Make_Unit(2, 12, 45, 60, 2, 1, 620, 3, 6400)});
    units.push_back({"Heavy tank", Make_Unit(3, 4, 380, 400, 9, 5, 240, 18, 2200)});
    units.push_back({"Engineer", Make_Unit(1, 6, 9, 50, 0, 3, 110, 7, 900)});
    units[2].Context.Upgrades[TOKEN_PLAYER].clear();
    return units;
}

// Call texts: an equation's name with bindings that change what a token means for this call.
const char* const CALL_TEXTS[] = {
    "Threat_Level{}",
    "Threat_Level{Unit=Enemy, Enemy=Unit}",  // how threatening this unit looks to the enemy
    "Retreat_Desire{Unit=Enemy}",            // would the enemy want to fall back
};

void Print_Rule(std::size_t columns)
{
    std::printf("%s", std::string(38, '-').c_str());
    for (std::size_t column = 0; column < columns; ++column) {
        std::printf("+%s", std::string(13, '-').c_str());
    }
    std::printf("\n");
}

void Print_Cell(bool evaluated, float value)
{
    if (evaluated) {
        std::printf("| %11.3f ", value);
    } else {
        std::printf("| %11s ", "failed");
    }
}

void Print_Frame(const char* title, const std::vector<UnitStruct>& units,
                 const std::vector<std::unique_ptr<PerceptionFunctionCallClass>>& calls)
{
    std::printf("\n%s\n", title);
    std::printf("%-38s", "equation");
    for (const UnitStruct& unit : units) {
        std::printf("| %11s ", unit.Name);
    }
    std::printf("\n");
    Print_Rule(units.size());
    for (auto entry = ThePerceptionFunctionManagerPtr->Get_Iterator();
         entry != ThePerceptionFunctionManagerPtr->Get_Iterator_End(); ++entry) {
        std::printf("%-38s", entry->first.c_str());
        for (const UnitStruct& unit : units) {
            float value = 0;
            const bool evaluated = entry->second->Evaluate(unit.Context, value);
            Print_Cell(evaluated, value);
        }
        std::printf("\n");
    }
    Print_Rule(units.size());
    for (std::size_t index = 0; index < calls.size(); ++index) {
        std::printf("%-38s", CALL_TEXTS[index]);
        for (const UnitStruct& unit : units) {
            // Bindings stay on the context they were made on, so each call gets a fresh copy.
            PerceptionContextClass context = unit.Context;
            float value = 0;
            const bool evaluated = calls[index] != nullptr && calls[index]->Evaluate(context, value);
            Print_Cell(evaluated, value);
        }
        std::printf("\n");
    }
}

bool Enter_Game_Root(const char* root)
{
    std::error_code error;
    std::filesystem::current_path(root, error);
    if (error) {
        std::fprintf(stderr, "demo_game: cannot enter the game root %s: %s\n", root, error.message().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: demo_game [GAME_ROOT]\n");
        return 2;
    }
    if (argc == 2 && !Enter_Game_Root(argv[1])) {
        return 1;
    }

    MegaFileManagerClass files;
    files.Load_Mega_File_List("");
    Install_Example_Host(&files);
    ThePerceptionFunctionManagerClass::Create();
    if (ThePerceptionFunctionManagerPtr == nullptr) {
        return 1;
    }
    std::printf("Loading equations:\n");
    const bool loaded = ThePerceptionFunctionManagerPtr->System_Initialize(&files, false);
    std::printf("System_Initialize: %s\n", loaded ? "every file loaded" : "some files failed");

    std::vector<std::unique_ptr<PerceptionFunctionCallClass>> calls;
    for (const char* text : CALL_TEXTS) {
        calls.emplace_back(PerceptionFunctionCallClass::Create(text));
    }
    const std::vector<UnitStruct> units = Make_Units();
    Print_Frame("Frame 1", units, calls);

    unsigned int id_before = 0;
    ThePerceptionFunctionManagerPtr->String_To_UInt("Threat_Level", id_before);
    std::printf("\nReloading equations in place:\n");
    const bool reloaded = ThePerceptionFunctionManagerPtr->System_Initialize(&files, true);
    unsigned int id_after = 0;
    ThePerceptionFunctionManagerPtr->String_To_UInt("Threat_Level", id_after);
    std::printf("System_Initialize (reload): %s; Threat_Level keeps its id: %s\n",
                reloaded ? "every file reloaded" : "some files failed", id_before == id_after ? "yes" : "no");
    Print_Frame("Frame 2 (after the reload; the calls were made before it)", units, calls);

    calls.clear();
    ThePerceptionFunctionManagerPtr->System_Shutdown();
    delete ThePerceptionFunctionManagerPtr;
    ThePerceptionFunctionManagerPtr = nullptr;
    std::printf("\nShut down.\n");
    return loaded && reloaded ? 0 : 1;
}

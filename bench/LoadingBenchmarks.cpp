// Loading 5,000 equations from 200 loose files through the shared library, as a host links it,
// once with numbered names (Equation_0000 to Equation_4999) and once with varied names: the
// registry's name table must cost the same for both.
#include "BenchFiles.h"
#include "SystemInitializeTiming.h"

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int FILE_COUNT = 200;
constexpr int EQUATIONS_PER_FILE = 25;

std::string Numbered_Name(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "Equation_%04d", number);
    return name;
}

// Three words picked by a scrambled number, and the number in letters to keep names unique:
// Threat_Near_Armor_bcd. Lengths and letters vary the way hand-written names do.
std::string Varied_Name(int number)
{
    static const char* const words[] = {"Threat", "Armor", "Near", "Base", "Infantry", "Weight", "Of", "Enemy",
                                        "Flank", "Retreat", "Air", "Cover", "Value", "Scout", "Harbor", "Risk"};
    const unsigned scrambled = static_cast<unsigned>(number) * 2654435761u;
    std::string name = std::string(words[scrambled >> 28]) + "_" + words[(scrambled >> 24) & 15] + "_" +
                       words[(scrambled >> 20) & 15] + "_";
    for (int rest = number; rest > 0 || name.back() == '_'; rest /= 26) name += static_cast<char>('a' + rest % 26);
    return name;
}

// A game root whose equation directory holds the 200 files, named by name_of.
class LoadingFilesClass {
public:
    explicit LoadingFilesClass(EquationNameFunction name_of) : Directory("loading")
    {
        const std::string equations = Directory.Get_Path() + "/Data/XML/AI/PerceptualEquations";
        Make_Directories(equations);
        char name[32];
        for (int number = 0; number < FILE_COUNT; ++number) {
            std::snprintf(name, sizeof name, "/EQUATIONS_%03d.XML", number);
            Write_Bytes(equations + name, Make_Equation_File(number * EQUATIONS_PER_FILE, EQUATIONS_PER_FILE, 0, name_of));
        }
    }

    ScratchDirectoryClass Directory;
};

void BM_Load_Names(benchmark::State& state, EquationNameFunction name_of)
{
    static std::map<EquationNameFunction, std::unique_ptr<LoadingFilesClass>> roots;
    std::unique_ptr<LoadingFilesClass>& files = roots[name_of];
    if (files == nullptr) files = std::make_unique<LoadingFilesClass>(name_of);
    WorkingDirectoryClass root(files->Directory.Get_Path());
    MegaFileManagerClass manager;
    Time_System_Initialize(state, manager, FILE_COUNT * EQUATIONS_PER_FILE);
}
BENCHMARK_CAPTURE(BM_Load_Names, numbered, &Numbered_Name)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load_Names, varied, &Varied_Name)->Unit(benchmark::kMillisecond);

}  // namespace

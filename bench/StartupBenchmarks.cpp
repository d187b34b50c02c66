// Start-up: System_Initialize of 5,000 equations in 200 files, loose and from a mega file in
// both modes; the peer reads the same loose files with pugixml and builds every equation with
// muparser.
#include "BenchFiles.h"
#include "BenchHost.h"
#include "SystemInitializeTiming.h"
#include "data/MegaArchiveWriterClass.h"

#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include <benchmark/benchmark.h>
#include <muParser.h>
#include <pugixml.hpp>

#include <unistd.h>

#include <cstdio>

namespace {

constexpr int FILE_COUNT = 200;
constexpr int EQUATIONS_PER_FILE = 25;
const char* const EQUATION_DIRECTORY = "Data/XML/AI/PerceptualEquations";

// Two game roots: one with the equation files loose, one with them packed into a mega file.
class StartupFilesClass {
public:
    StartupFilesClass() : Directory("startup")
    {
        Loose_Root = Directory.Get_Path() + "/loose";
        Packed_Root = Directory.Get_Path() + "/packed";
        Make_Directories(Loose_Root + "/" + EQUATION_DIRECTORY);
        Make_Directories(Packed_Root + "/Data");
        Archive_Path = Packed_Root + "/Data/Equations.meg";

        MegaArchiveWriterClass writer;
        char name[96];
        for (int number = 0; number < FILE_COUNT; ++number) {
            std::snprintf(name, sizeof name, "%s/EQUATIONS_%03d.XML", EQUATION_DIRECTORY, number);
            const std::string bytes = Make_Equation_File(number * EQUATIONS_PER_FILE, EQUATIONS_PER_FILE, 0);
            Write_Bytes(Loose_Root + "/" + name, bytes);
            writer.Add_File(name, bytes);
            Loose_Files.push_back(Loose_Root + "/" + name);
        }
        writer.Write_To_File(Archive_Path);
    }

    ScratchDirectoryClass Directory;
    std::string Loose_Root;
    std::string Packed_Root;
    std::string Archive_Path;
    std::vector<std::string> Loose_Files;
};

StartupFilesClass& The_Startup_Files()
{
    static StartupFilesClass files;
    return files;
}

// range(0): -1 loose files, else the mode of the mega file.
void BM_Startup_Library(benchmark::State& state)
{
    StartupFilesClass& files = The_Startup_Files();
    const int mode = static_cast<int>(state.range(0));
    WorkingDirectoryClass root(mode < 0 ? files.Loose_Root : files.Packed_Root);
    MegaFileManagerClass manager;
    if (mode >= 0 && manager.Add_Mega_File(files.Archive_Path, mode, false) == -1) {
        state.SkipWithError("the mega file did not open");
        return;
    }
    Time_System_Initialize(state, manager, FILE_COUNT * EQUATIONS_PER_FILE);
}
BENCHMARK(BM_Startup_Library)->ArgName("source")->Arg(-1)->Arg(MegaArchiveClass::MODE_STREAMED)
    ->Arg(MegaArchiveClass::MODE_IN_MEMORY)->Unit(benchmark::kMillisecond);

void BM_Startup_Peer(benchmark::State& state)
{
    StartupFilesClass& files = The_Startup_Files();
    mu::Parser parser;
    parser.DefineNameChars("0123456789_.abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    double variables[26];
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        variables[letter - 'a'] = Bench_Letter_Value(letter);
        parser.DefineVar(std::string("V.") + letter, &variables[letter - 'a']);
    }
    int64_t equations = 0;
    for (auto _ : state) {
        for (const std::string& path : files.Loose_Files) {
            pugi::xml_document document;
            document.load_file(path.c_str());
            for (pugi::xml_node equation : document.document_element().children()) {
                if (equation.type() != pugi::node_element) {
                    continue;
                }
                try {
                    parser.SetExpr(equation.child_value());
                    const double value = parser.Eval();
                    benchmark::DoNotOptimize(value);
                    ++equations;
                } catch (const mu::Parser::exception_type&) {
                    state.SkipWithError("muparser rejected an equation");
                }
            }
        }
    }
    state.SetItemsProcessed(equations);
}
BENCHMARK(BM_Startup_Peer)->Unit(benchmark::kMillisecond);

}  // namespace

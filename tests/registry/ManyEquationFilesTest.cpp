#include <cognexa/cognexa.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "RegistryTestHost.h"

#include <gtest/gtest.h>

namespace {

// 200 files of 25 equations: the first half loose, the rest split over two archives, so the
// enumeration merges disk and both archives and every file is read through the right source.
TEST(ManyEquationFiles, FiveThousandEquationsFromLooseFilesAndTwoArchivesAllLoad)
{
    constexpr int FILE_COUNT = 200;
    constexpr int EQUATIONS_PER_FILE = 25;
    ScratchGameRoot root;
    RegistryTestHost host;
    MegaFileManagerClass files;
    host.Install(&files);

    std::vector<std::pair<std::string, std::string>> archive_members[2];
    for (int file = 0; file < FILE_COUNT; ++file) {
        std::vector<std::pair<std::string, std::string>> equations;
        for (int index = 0; index < EQUATIONS_PER_FILE; ++index) {
            const int serial = file * EQUATIONS_PER_FILE + index;
            equations.emplace_back("Equation_" + std::to_string(serial),
                                   std::to_string(serial) + " * 2 - Unit.Base + clamp(" + std::to_string(index) +
                                       ", 0, 10)");
        }
        const std::string file_name = "Set_" + std::to_string(file) + ".xml";
        if (file < FILE_COUNT / 2) {
            root.Write_Equations(file_name, equations);
        } else {
            archive_members[file % 2].emplace_back("Data\\XML\\AI\\PerceptualEquations\\" + file_name,
                                                   ScratchGameRoot::Equation_File(equations));
        }
    }
    root.Write_Archive("Data/First.meg", archive_members[0]);
    root.Write_Archive("Data/Second.meg", archive_members[1]);
    ASSERT_NE(files.Add_Mega_File("Data/First.meg", 0, false), -1);
    ASSERT_NE(files.Add_Mega_File("Data/Second.meg", 1, false), -1);
    host.Values["Unit.Base"] = 1;

    ThePerceptionFunctionManagerClass registry("ManyEquationFiles");
    ASSERT_TRUE(registry.System_Initialize(&files, false));
    EXPECT_EQ(host.Loaded_Files.size(), static_cast<std::size_t>(FILE_COUNT));
    const PerceptionContextClass* context = reinterpret_cast<const PerceptionContextClass*>(&host);
    int checked = 0;
    for (int serial = 0; serial < FILE_COUNT * EQUATIONS_PER_FILE; ++serial) {
        PerceptionFunctionClass* equation = registry.Get_Managed_Object("equation_" + std::to_string(serial));
        ASSERT_NE(equation, nullptr) << serial;
        float value = 0;
        ASSERT_TRUE(equation->Evaluate(*context, value)) << serial;
        const int index = serial % EQUATIONS_PER_FILE;
        ASSERT_EQ(value, static_cast<float>(serial * 2 - 1 + std::min(index, 10))) << serial;
        ++checked;
    }
    EXPECT_EQ(checked, FILE_COUNT * EQUATIONS_PER_FILE);
}

}  // namespace

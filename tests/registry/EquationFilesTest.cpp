#include <cognexa/cognexa.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "RegistryTestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class EquationFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Files = std::make_unique<MegaFileManagerClass>();
        Host.Install(Files.get());
        ThePerceptionFunctionManagerClass::Create();
        Registry = ThePerceptionFunctionManagerPtr;
    }
    void TearDown() override
    {
        delete Registry;
        ThePerceptionFunctionManagerPtr = nullptr;
    }

    float Value_Of(const std::string& name)
    {
        PerceptionFunctionClass* equation = Registry->Get_Managed_Object(name);
        EXPECT_NE(equation, nullptr) << name;
        float result = -1;
        if (equation != nullptr) {
            EXPECT_TRUE(equation->Evaluate(*Context(), result)) << name;
        }
        return result;
    }
    std::size_t Count() const { return std::distance(Registry->Get_Iterator(), Registry->Get_Iterator_End()); }
    const PerceptionContextClass* Context() const { return reinterpret_cast<const PerceptionContextClass*>(&Host); }

    ScratchGameRoot Root;
    RegistryTestHost Host;
    std::unique_ptr<MegaFileManagerClass> Files;
    ThePerceptionFunctionManagerClass* Registry = nullptr;
};

TEST_F(EquationFiles, EveryEquationOfEveryFileIsRegisteredUnderItsNameInAnyCase)
{
    Root.Write_Equations("One.xml", {{"Speed_Bonus", "1 + 2 * 3"}, {"halved", "10 / 4"}});
    Root.Write_Equations("Two.XML", {{"Token_Read", "Unit.Speed * 2"}});
    Host.Values["Unit.Speed"] = 4;
    EXPECT_TRUE(Registry->System_Initialize(Files.get(), false));
    EXPECT_EQ(Count(), 3u);
    EXPECT_FLOAT_EQ(Value_Of("SPEED_BONUS"), 7);
    EXPECT_FLOAT_EQ(Value_Of("Halved"), 2.5f);
    EXPECT_FLOAT_EQ(Value_Of("token_read"), 8);
    EXPECT_EQ(Host.Loaded_Files.size(), 2u);
}

TEST_F(EquationFiles, FailuresMarkTheirFileButNeverStopTheRest)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> equations;
        std::vector<std::string> registered;
    } cases[] = {
        {"a bad equation among good ones", {{"Good_A", "1"}, {"Bad", "1 +"}, {"Good_B", "2"}}, {"GOOD_A", "GOOD_B"}},
        {"a duplicate in the same file keeps the first", {{"Twice", "1"}, {"TWICE", "2"}}, {"TWICE"}},
        {"an unknown token", {{"Known", "a.b"}, {"Not_Known", "Unknown.b"}}, {"KNOWN"}},
    };
    for (const Case& test : cases) {
        ScratchGameRoot root;
        root.Write_Equations("File.xml", test.equations);
        ThePerceptionFunctionManagerClass registry("Scratch");
        EXPECT_FALSE(registry.System_Initialize(Files.get(), false)) << test.name;
        std::vector<std::string> registered;
        for (auto entry = registry.Get_Iterator(); entry != registry.Get_Iterator_End(); ++entry) {
            registered.push_back(entry->first);
        }
        std::sort(registered.begin(), registered.end());
        EXPECT_EQ(registered, test.registered) << test.name;
        EXPECT_TRUE(Host.Loaded_Files.empty()) << test.name;
    }
    float twice = 0;
    ScratchGameRoot root;
    root.Write_Equations("File.xml", {{"Twice", "1"}, {"TWICE", "2"}});
    ThePerceptionFunctionManagerClass registry("Scratch");
    registry.System_Initialize(Files.get(), false);
    ASSERT_TRUE(registry.Get_Managed_Object("twice")->Evaluate(*Context(), twice));
    EXPECT_EQ(twice, 1) << "the first definition stays";
}

TEST_F(EquationFiles, ADuplicateAcrossFilesFailsOnlyTheLaterFile)
{
    Root.Write_Equations("A.xml", {{"Shared", "1"}});
    Root.Write_Equations("B.xml", {{"Shared", "2"}, {"Own", "3"}});
    EXPECT_FALSE(Registry->System_Initialize(Files.get(), false));
    EXPECT_EQ(Count(), 2u);
    EXPECT_EQ(Host.Loaded_Files.size(), 1u);
}

TEST_F(EquationFiles, MissingDirectoryOrNoMatchingFileFails)
{
    EXPECT_FALSE(Registry->System_Initialize(Files.get(), false));
    Root.Write(std::string(EQUATION_DIRECTORY) + "Notes.txt", "not an equation file");
    EXPECT_FALSE(Registry->System_Initialize(Files.get(), false));
    EXPECT_FALSE(Registry->System_Initialize(nullptr, false));
    EXPECT_TRUE(Host.Loaded_Files.empty());
}

TEST_F(EquationFiles, AFileWhoseRootHasNoChildrenAddsNothing)
{
    Root.Write(std::string(EQUATION_DIRECTORY) + "Empty.xml", "<?xml version=\"1.0\"?>\n<Equations></Equations>\n");
    Root.Write_Equations("Full.xml", {{"Kept", "5"}});
    EXPECT_FALSE(Registry->System_Initialize(Files.get(), false));
    EXPECT_EQ(Count(), 1u);
}

TEST_F(EquationFiles, ReloadRebuildsInPlaceKeepsIdentityAndNeverAdds)
{
    Root.Write_Equations("A.xml", {{"Value", "1"}, {"Broken_Later", "2"}});
    ASSERT_TRUE(Registry->System_Initialize(Files.get(), false));
    PerceptionFunctionClass* before = Registry->Get_Managed_Object("Value");
    unsigned int id_before = 0;
    ASSERT_TRUE(Registry->String_To_UInt("Value", id_before));
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("Value{}"));
    ASSERT_NE(call, nullptr);

    Root.Write_Equations("A.xml", {{"Value", "40 + 2"}, {"Broken_Later", "Unknown.x"}, {"Brand_New", "9"}});
    EXPECT_FALSE(Registry->System_Initialize(Files.get(), true)) << "an unknown name marks the file";
    EXPECT_EQ(Registry->Get_Managed_Object("Value"), before);
    unsigned int id_after = 0;
    ASSERT_TRUE(Registry->String_To_UInt("Value", id_after));
    EXPECT_EQ(id_after, id_before);
    EXPECT_EQ(Registry->Get_Managed_Object("Brand_New"), nullptr);
    EXPECT_EQ(Count(), 2u);

    float result = 0;
    PerceptionContextClass* context = const_cast<PerceptionContextClass*>(Context());
    ASSERT_TRUE(call->Evaluate(*context, result)) << "a call made before the reload still works";
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(Registry->Get_Managed_Object("Broken_Later")->Evaluate(*Context(), result))
        << "a rebuild that fails leaves the equation empty";
}

TEST_F(EquationFiles, SkipFileIsAskedOnlyWhenReloading)
{
    Root.Write_Equations("Keep.xml", {{"Kept", "1"}});
    Root.Write_Equations("Skip.xml", {{"Skipped", "2"}});
    ASSERT_TRUE(Registry->System_Initialize(Files.get(), false));
    EXPECT_TRUE(Host.Skipped_Candidates.empty());
    EXPECT_EQ(Host.Loaded_Files.size(), 2u);

    Root.Write_Equations("Keep.xml", {{"Kept", "10"}});
    Root.Write_Equations("Skip.xml", {{"Skipped", "20"}});
    Host.Files_To_Skip = {"Skip.xml"};
    Host.Loaded_Files.clear();
    ASSERT_TRUE(Registry->System_Initialize(Files.get(), true));
    EXPECT_EQ(Host.Skipped_Candidates.size(), 2u);
    ASSERT_EQ(Host.Loaded_Files.size(), 1u);
    EXPECT_NE(Host.Loaded_Files[0].find("Keep.xml"), std::string::npos);
    EXPECT_EQ(Host.Loaded_Files[0].rfind(".\\Data\\XML\\AI\\PerceptualEquations\\", 0), 0u)
        << "callbacks see the path as directory + file name";
    EXPECT_EQ(Value_Of("Kept"), 10);
    EXPECT_EQ(Value_Of("Skipped"), 2);
}

TEST_F(EquationFiles, ArchiveMembersLoadAndALooseFileShadowsTheMember)
{
    Root.Write_Archive("Data/Equations.meg",
                       {{"Data\\XML\\AI\\PerceptualEquations\\Shadowed.xml", ScratchGameRoot::Equation_File({{"Which", "1"}})},
                        {"Data\\XML\\AI\\PerceptualEquations\\Only_In_Archive.xml",
                         ScratchGameRoot::Equation_File({{"Packed", "7"}})}});
    Root.Write_Equations("Shadowed.xml", {{"Which", "2"}});
    ASSERT_NE(Files->Add_Mega_File("Data/Equations.meg", 0, false), -1);
    EXPECT_TRUE(Registry->System_Initialize(Files.get(), false));
    EXPECT_EQ(Value_Of("Which"), 2);
    EXPECT_EQ(Value_Of("Packed"), 7);
    EXPECT_EQ(Host.Loaded_Files.size(), 2u);
}

TEST_F(EquationFiles, ShutdownDeletesEveryEquationAndLeavesTheRegistryUsable)
{
    Root.Write_Equations("A.xml", {{"One", "1"}, {"Two", "2"}});
    ASSERT_TRUE(Registry->System_Initialize(Files.get(), false));
    unsigned int id = 0;
    ASSERT_TRUE(Registry->String_To_UInt("One", id));
    Registry->System_Shutdown();
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Registry->UInt_To_String(id), "-BAD VALUE-");
    EXPECT_TRUE(Registry->System_Initialize(Files.get(), false));
    EXPECT_EQ(Count(), 2u);
}

}  // namespace

#ifndef COGNEXA_TESTS_TOOL_TEST_SUPPORT_H
#define COGNEXA_TESTS_TOOL_TEST_SUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

// One run of the installed tool.
struct ToolRunStruct {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs the installed cognexa with the arguments, in the folder given (the test's scratch
// folder by default).
ToolRunStruct Run_Tool(const std::vector<std::string>& arguments, const std::filesystem::path& folder = {});

// The words that start a program of this build: the program itself, or, in a cross build whose
// programs the machine cannot run by itself (aarch64 on x86-64), the build's emulator before it.
// A Windows build needs none: its tests run under Wine, which starts Windows programs itself.
std::vector<std::string> Program_Command(const std::string& program);

// A fresh, empty folder of the test's own below the scratch folder.
std::filesystem::path Fresh_Folder(const std::string& name);

void Write_File(const std::filesystem::path& path, const std::string& bytes);
std::string Read_File(const std::filesystem::path& path);

// The lines of a text, without their line breaks.
std::vector<std::string> Lines_Of(const std::string& text);

// An archive image with members in the given order and the given stored names, bypassing the
// writer's normalisation, so tests can plant what no writer would store.
struct RawMemberStruct {
    std::string Name;
    std::string Bytes;
};
std::string Raw_Archive(const std::vector<RawMemberStruct>& members);

#endif

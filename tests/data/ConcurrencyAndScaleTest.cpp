#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <set>
#include <thread>

using namespace DataTest;

namespace {

std::string Member_Content(int seed, std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((seed * 131 + i * 7) & 0xFF);
    return bytes;
}

std::string Member_Name(int index)
{
    char name[64];
    std::snprintf(name, sizeof name, "Data/Dir%02d/F%05d.dat", index % 100, index);
    return name;
}

// Reads a whole member through the file object in chunks of uneven size; "<failed>" when it
// does not open or a read fails.
std::string Read_Through_File_Object(const std::string& name)
{
    FileStreamClass file;
    if (!file.Open(name, 0, true)) return "<failed>";
    std::string bytes;
    char chunk[333];
    for (int round = 0;; ++round) {
        const int got = file.Read(chunk, 1 + (round * 97) % static_cast<int>(sizeof chunk));
        if (got < 0) return "<failed>";
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return bytes;
}

}  // namespace

TEST(FileManagerThreads, EightReadersOfDifferentMembersGetExactlyTheirBytes)
{
    ScratchDirectory dir;
    MemberListType streamed, in_memory;
    for (int i = 0; i < 8; ++i) {
        (i % 2 == 0 ? streamed : in_memory).push_back({"Member" + std::to_string(i), Member_Content(i, 20000 + i)});
    }
    Write_Archive(dir / "streamed.meg", streamed);
    Write_Archive(dir / "memory.meg", in_memory);
    MegaFileManagerClass manager;
    FileManagerBinding binding(&manager);
    ASSERT_NE(manager.Add_Mega_File(dir / "streamed.meg", 0, false), -1);
    ASSERT_NE(manager.Add_Mega_File(dir / "memory.meg", 1, false), -1);

    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 8; ++i) {
        readers.emplace_back([i, &wrong] {
            const std::string expected = Member_Content(i, 20000 + i);
            for (int round = 0; round < 20; ++round) {
                if (Read_Through_File_Object("member" + std::to_string(i)) != expected) ++wrong;
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(FileManagerThreads, RemovingAnArchiveWhileOthersReadItIsSafe)
{
    ScratchDirectory dir;
    MemberListType members;
    for (int i = 0; i < 4; ++i) members.push_back({"Busy" + std::to_string(i), Member_Content(i, 50000)});
    Write_Archive(dir / "busy.meg", members);
    MegaFileManagerClass manager;
    FileManagerBinding binding(&manager);
    const int id = manager.Add_Mega_File(dir / "busy.meg", 0, false);
    ASSERT_NE(id, -1);

    std::atomic<int> wrong{0};
    std::atomic<int> completed{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([i, &wrong, &completed] {
            const std::string expected = Member_Content(i, 50000);
            for (;;) {
                const std::string got = Read_Through_File_Object("busy" + std::to_string(i));
                if (got == "<failed>") {
                    FileStreamClass probe;
                    if (!probe.Open("busy" + std::to_string(i), 0, true)) return;  // the archive is gone
                    continue;
                }
                if (got != expected && expected.compare(0, got.size(), got) != 0) ++wrong;
                ++completed;
            }
        });
    }
    while (completed.load() < 8) std::this_thread::yield();
    EXPECT_TRUE(manager.Remove_Mega_File(id));
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong.load(), 0) << "a read returned bytes that are not the member's";
}

class FileManagerScale : public ::testing::TestWithParam<int> {};

TEST_P(FileManagerScale, TenThousandMembersOpenFindAndEnumerate)
{
    constexpr int member_count = 10000;
    ScratchDirectory dir;
    MegaArchiveWriterClass writer;
    for (int i = 0; i < member_count; ++i) {
        ASSERT_TRUE(writer.Add_File(Member_Name(i), std::to_string(i))) << writer.Get_Last_Error();
    }
    ASSERT_TRUE(writer.Write_To_File(dir / "large.meg"));

    MegaArchiveClass archive;
    ASSERT_TRUE(archive.Open(dir / "large.meg", GetParam()));
    EXPECT_EQ(archive.Get_Record_Count(), static_cast<std::uint32_t>(member_count));
    int misses = 0;
    for (int i = 0; i < member_count; ++i) {
        std::string lower = Member_Name(i);
        for (char& byte : lower) byte = static_cast<char>(std::tolower(static_cast<unsigned char>(byte)));
        std::string backslashed = ".\\" + Member_Name(i);
        for (char& byte : backslashed) byte = byte == '/' ? '\\' : byte;
        const int index = archive.Find_Sub_File(i % 2 == 0 ? lower : backslashed);
        char text[8] = {};
        if (index == -1 || archive.Read_Sub_File(index, nullptr, text, 7) < 1 || std::to_string(i) != text) ++misses;
    }
    EXPECT_EQ(misses, 0);
    archive.Close();

    MegaFileManagerClass manager;
    ASSERT_NE(manager.Add_Mega_File(dir / "large.meg", GetParam(), false), -1);
    ScratchDirectory empty_dir;
    WIN32_FIND_DATAA data;
    std::multiset<std::string> directories;
    int find = manager.Find_First("Data\\*", &data);
    ASSERT_NE(find, -1);
    do {
        EXPECT_EQ(data.dwFileAttributes, static_cast<std::uint32_t>(COGNEXA_FILE_ATTRIBUTE_DIRECTORY));
        directories.insert(data.cFileName);
    } while (manager.Find_Next(find, &data));
    manager.Find_Close(find);
    EXPECT_EQ(directories.size(), 100u);
    EXPECT_EQ(std::set<std::string>(directories.begin(), directories.end()).size(), 100u) << "each once";

    int files = 0;
    find = manager.Find_First("data/dir42/*.DAT", &data);
    ASSERT_NE(find, -1);
    do {
        ++files;
    } while (manager.Find_Next(find, &data));
    manager.Find_Close(find);
    EXPECT_EQ(files, 100);
}

INSTANTIATE_TEST_SUITE_P(BothModes, FileManagerScale, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "Streamed" : "InMemory");
                         });

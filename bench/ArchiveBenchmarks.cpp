// Archives of 10,000 members: lookups, member reads in both modes, member open-read-close and
// directory enumeration, against PhysFS on a stored zip of the same files; reads also against
// read() and memcpy of the same bytes (the floors).
#include "BenchFiles.h"
#include "BenchHost.h"
#include "data/MegaArchiveWriterClass.h"

#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>

#include <benchmark/benchmark.h>
#include <physfs.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

namespace {

constexpr int MEMBER_COUNT = 10000;
const char* const MEMBER_DIRECTORY = "Data/XML/Objects";

struct MemberStruct {
    std::string Name;
    std::uint32_t Start = 0;
    std::uint32_t Size = 0;
};

// The same 10,000 files as a mega file and as a stored zip (made by Python's zipfile, which
// PhysFS reads), with every member's place in the mega file for the floors.
class ArchiveFilesClass {
public:
    ArchiveFilesClass() : Directory("archive")
    {
        Install_Bench_Host(nullptr);
        Mega_Path = Directory.Get_Path() + "/Objects.meg";
        Zip_Path = Directory.Get_Path() + "/Objects.zip";
        const std::string sources = Directory.Get_Path() + "/sources";
        Make_Directories(sources + "/" + MEMBER_DIRECTORY);

        MegaArchiveWriterClass writer;
        char name[96];
        for (int number = 0; number < MEMBER_COUNT; ++number) {
            std::snprintf(name, sizeof name, "%s/OBJECT_%05d.XML", MEMBER_DIRECTORY, number);
            // Sizes between about 0.5 KB and 6 KB, like object and equation files.
            const std::string bytes = Make_Equation_File(number * 4, 1 + number % 24, 0);
            writer.Add_File(name, bytes);
            Write_Bytes(sources + "/" + name, bytes);
            Members.push_back(MemberStruct{name, 0, static_cast<std::uint32_t>(bytes.size())});
        }
        writer.Write_To_File(Mega_Path);
        Image = Read_Bytes(Mega_Path);

        const std::string command = "cd '" + sources + "' && python3 -c \"import os, sys, zipfile\n"
                                    "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:\n"
                                    "    for r, _, fs in os.walk('Data'):\n"
                                    "        for f in sorted(fs): z.write(os.path.join(r, f))\" '" +
                                    Zip_Path + "'";
        Zip_Made = std::system(command.c_str()) == 0;

        MegaArchiveClass archive;
        archive.Open(Mega_Path, MegaArchiveClass::MODE_STREAMED);
        for (MemberStruct& member : Members) {
            const int index = archive.Find_Sub_File(member.Name);
            FileStreamClass* stream = archive.Open_Sub_File_Stream(index);
            member.Start = stream != nullptr ? static_cast<std::uint32_t>(stream->Tell()) : 0;
            delete stream;
        }

        // Lookups and reads visit the members in a fixed random order, so neither the table
        // search nor the caches see a friendly sequence.
        for (int index = 0; index < MEMBER_COUNT; ++index) {
            Order.push_back(index);
        }
        std::shuffle(Order.begin(), Order.end(), std::mt19937(8));
    }

    ScratchDirectoryClass Directory;
    std::string Mega_Path;
    std::string Zip_Path;
    std::string Image;
    bool Zip_Made = false;
    std::vector<MemberStruct> Members;
    std::vector<int> Order;
};

ArchiveFilesClass& The_Archive_Files()
{
    static ArchiveFilesClass files;
    return files;
}

// PhysFS with the zip mounted, for one benchmark.
class PhysfsMountClass {
public:
    PhysfsMountClass()
    {
        Mounted = PHYSFS_init(nullptr) != 0 && PHYSFS_mount(The_Archive_Files().Zip_Path.c_str(), nullptr, 1) != 0;
    }
    ~PhysfsMountClass() { PHYSFS_deinit(); }
    bool Mounted;
};

void BM_Lookup_Library(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    MegaArchiveClass archive;
    archive.Open(files.Mega_Path, MegaArchiveClass::MODE_STREAMED);
    std::size_t next = 0;
    for (auto _ : state) {
        const int index = archive.Find_Sub_File(files.Members[files.Order[next]].Name);
        benchmark::DoNotOptimize(index);
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_Library);

void BM_Lookup_Physfs(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    PhysfsMountClass physfs;
    if (!physfs.Mounted) {
        state.SkipWithError("PhysFS could not mount the zip");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        const int exists = PHYSFS_exists(files.Members[files.Order[next]].Name.c_str());
        benchmark::DoNotOptimize(exists);
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_Physfs);

// A whole member read again from its start, as a host reads a file it already has open.
void BM_Read_Library_In_Memory(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    MegaArchiveClass archive;
    archive.Open(files.Mega_Path, MegaArchiveClass::MODE_IN_MEMORY);
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const int index = files.Order[next];
        archive.Seek_Sub_File(index, nullptr, 0, FileStreamClass::SEEK_FROM_BEGIN);
        bytes += archive.Read_Sub_File(index, nullptr, buffer.data(), static_cast<int>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Read_Library_In_Memory);

void BM_Read_Memcpy(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const MemberStruct& member = files.Members[files.Order[next]];
        std::memcpy(buffer.data(), files.Image.data() + member.Start, member.Size);
        bytes += member.Size;
        benchmark::DoNotOptimize(buffer.data());
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Read_Memcpy);

void BM_Read_Library_Streamed(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    MegaArchiveClass archive;
    archive.Open(files.Mega_Path, MegaArchiveClass::MODE_STREAMED);
    std::unique_ptr<FileStreamClass> stream(archive.Open_Sub_File_Stream(0));
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const int index = files.Order[next];
        archive.Seek_Sub_File(index, stream.get(), 0, FileStreamClass::SEEK_FROM_BEGIN);
        bytes += archive.Read_Sub_File(index, stream.get(), buffer.data(), static_cast<int>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Read_Library_Streamed);

void BM_Read_Posix(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    const int descriptor = open(files.Mega_Path.c_str(), O_RDONLY);
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const MemberStruct& member = files.Members[files.Order[next]];
        lseek(descriptor, member.Start, SEEK_SET);
        bytes += read(descriptor, buffer.data(), member.Size);
        benchmark::DoNotOptimize(buffer.data());
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    close(descriptor);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Read_Posix);

// What a game does per data file: open the member by name, read it whole, close it.
void BM_Open_Read_Close_Library(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    MegaFileManagerClass manager;
    manager.Add_Mega_File(files.Mega_Path, static_cast<int>(state.range(0)), false);
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const int handle = manager.Open_Sub_File(files.Members[files.Order[next]].Name);
        bytes += manager.Read_Sub_File(handle, buffer.data(), static_cast<int>(buffer.size()));
        manager.Close_Sub_File(handle);
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Open_Read_Close_Library)->ArgName("mode")->Arg(MegaArchiveClass::MODE_STREAMED)->Arg(MegaArchiveClass::MODE_IN_MEMORY);

void BM_Open_Read_Close_Physfs(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    PhysfsMountClass physfs;
    if (!physfs.Mounted) {
        state.SkipWithError("PhysFS could not mount the zip");
        return;
    }
    std::vector<char> buffer(1 << 16);
    std::size_t next = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        PHYSFS_File* file = PHYSFS_openRead(files.Members[files.Order[next]].Name.c_str());
        bytes += PHYSFS_readBytes(file, buffer.data(), buffer.size());
        PHYSFS_close(file);
        next = next + 1 == files.Order.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Open_Read_Close_Physfs);

void BM_Enumerate_Library(benchmark::State& state)
{
    ArchiveFilesClass& files = The_Archive_Files();
    MegaFileManagerClass manager;
    manager.Add_Mega_File(files.Mega_Path, MegaArchiveClass::MODE_STREAMED, false);
    const std::string pattern = std::string(MEMBER_DIRECTORY) + "/*";
    WIN32_FIND_DATAA data;
    int64_t entries = 0;
    for (auto _ : state) {
        const int search = manager.Find_First(pattern.c_str(), &data);
        if (search != -1) {
            ++entries;
            while (manager.Find_Next(search, &data)) {
                ++entries;
            }
            manager.Find_Close(search);
        }
    }
    state.SetItemsProcessed(entries);
    state.counters["entries"] = static_cast<double>(entries) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Enumerate_Library)->Unit(benchmark::kMillisecond);

void BM_Enumerate_Physfs(benchmark::State& state)
{
    PhysfsMountClass physfs;
    if (!physfs.Mounted) {
        state.SkipWithError("PhysFS could not mount the zip");
        return;
    }
    int64_t entries = 0;
    for (auto _ : state) {
        char** list = PHYSFS_enumerateFiles(MEMBER_DIRECTORY);
        for (char** entry = list; entry != nullptr && *entry != nullptr; ++entry) {
            ++entries;
        }
        PHYSFS_freeList(list);
    }
    state.SetItemsProcessed(entries);
    state.counters["entries"] = static_cast<double>(entries) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Enumerate_Physfs)->Unit(benchmark::kMillisecond);

}  // namespace

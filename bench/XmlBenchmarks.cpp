// XML throughput and peak memory on equation files of 1 MB and 20 MB on disk, each reader called
// as its users call it: the library's XMLReaderClass::Load_File with trimming, pugixml's
// load_file and tinyxml2's LoadFile. The readers take turns, seven rounds, and each keeps its best
// round (thread CPU time, which includes the kernel's work for the file read). A memchr scan of
// the bytes in memory is the floor. Peak memory is the resident high-water mark of a fresh child
// process that loads the file once with one reader and keeps the document.
//
// This program links the shared library as a host does. Run with
//   --peak-memory READER FILE   (READER: none, library, pugixml, tinyxml2)
// it loads FILE once and prints its ru_maxrss in KiB; the benchmark starts itself that way.
#include "BenchFiles.h"
#include "BenchHost.h"

#include <cognexa/XMLReaderClass.h>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

namespace {

class XmlFilesClass {
public:
    XmlFilesClass() : Directory("xml") {}

    // The file of about megabytes MB, made on first use.
    const std::string& Get_Path(int megabytes)
    {
        std::string& path = Paths[megabytes];
        if (path.empty()) {
            path = Directory.Get_Path() + "/Equations_" + std::to_string(megabytes) + "MB.xml";
            Write_Bytes(path, Make_Equation_File(0, 0, static_cast<std::size_t>(megabytes) << 20));
        }
        return path;
    }

private:
    ScratchDirectoryClass Directory;
    std::map<int, std::string> Paths;
};

XmlFilesClass& The_Xml_Files()
{
    static XmlFilesClass files;
    return files;
}

// Each loader loads the file into a new document and keeps it until the next call, so freeing a
// document is timed with the next load as a caller's loop would pay it; a null path only frees.
bool Load_Library(const char* path)
{
    static XMLReaderClass* reader = nullptr;
    delete reader;
    reader = path != nullptr ? new XMLReaderClass : nullptr;
    return reader == nullptr || reader->Load_File(path, true) == XML_OK;
}

bool Load_Pugixml(const char* path)
{
    static pugi::xml_document* document = nullptr;
    delete document;
    document = path != nullptr ? new pugi::xml_document : nullptr;
    return document == nullptr || static_cast<bool>(document->load_file(path));
}

bool Load_Tinyxml2(const char* path)
{
    static tinyxml2::XMLDocument* document = nullptr;
    delete document;
    document = path != nullptr ? new tinyxml2::XMLDocument : nullptr;
    return document == nullptr || document->LoadFile(path) == tinyxml2::XML_SUCCESS;
}

bool Load_Nothing(const char*)
{
    return true;
}

struct ReaderStruct {
    const char* Name;
    bool (*Load)(const char* path);
};

const ReaderStruct Readers[] = {
    {"library", &Load_Library}, {"pugixml", &Load_Pugixml}, {"tinyxml2", &Load_Tinyxml2}, {"none", &Load_Nothing}};
constexpr int Timed_Readers = 3;

double Thread_Seconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The peak resident memory of a child process that loads path with reader, in KiB; -1 on failure.
double Child_Peak_Kib(const char* reader, const std::string& path)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return -1;
    self[length] = '\0';
    const std::string command = std::string("'") + self + "' --peak-memory " + reader + " '" + path + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) return -1;
    double kib = -1;
    if (std::fscanf(child, "%lf", &kib) != 1) kib = -1;
    return pclose(child) == 0 ? kib : -1;
}

void BM_Xml_Turns(benchmark::State& state)
{
    Install_Bench_Host(nullptr);
    const std::string& path = The_Xml_Files().Get_Path(static_cast<int>(state.range(0)));
    const std::string bytes = Read_Bytes(path);
    double best[Timed_Readers + 1] = {1e30, 1e30, 1e30, 1e30};
    for (auto _ : state) {
        for (int round = 0; round < 7; ++round) {
            for (int index = 0; index < Timed_Readers; ++index) {
                const double start = Thread_Seconds();
                if (!Readers[index].Load(path.c_str())) {
                    state.SkipWithError((std::string(Readers[index].Name) + " rejected the file").c_str());
                    return;
                }
                const double seconds = Thread_Seconds() - start;
                if (seconds < best[index]) best[index] = seconds;
            }
            const double start = Thread_Seconds();
            std::size_t tags = 0;
            const char* position = bytes.data();
            const char* const end = position + bytes.size();
            while ((position = static_cast<const char*>(std::memchr(position, '<', end - position))) != nullptr) {
                ++tags;
                ++position;
            }
            benchmark::DoNotOptimize(tags);
            const double seconds = Thread_Seconds() - start;
            if (seconds < best[Timed_Readers]) best[Timed_Readers] = seconds;
        }
    }
    for (const ReaderStruct& reader : Readers) reader.Load(nullptr);
    const double megabytes = static_cast<double>(bytes.size()) / (1 << 20);
    state.counters["library_MBps"] = megabytes / best[0];
    state.counters["pugixml_MBps"] = megabytes / best[1];
    state.counters["tinyxml2_MBps"] = megabytes / best[2];
    state.counters["memchr_MBps"] = megabytes / best[3];
    for (const ReaderStruct& reader : Readers) {
        state.counters[std::string(reader.Name) + "_peak_KiB"] = Child_Peak_Kib(reader.Name, path);
    }
}

BENCHMARK(BM_Xml_Turns)->Arg(1)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0) {
        Install_Bench_Host(nullptr);
        for (const ReaderStruct& reader : Readers) {
            if (std::strcmp(reader.Name, argv[2]) != 0) continue;
            if (!reader.Load(argv[3])) return 1;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%ld\n", usage.ru_maxrss);
            return 0;
        }
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

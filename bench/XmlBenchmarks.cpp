// XML throughput on equation files of 1 MB and 20 MB: the library's reader (file to tree)
// against pugixml and tinyxml2 parsing the same bytes from memory, and a memchr scan (floor).
#include "BenchFiles.h"
#include "BenchHost.h"

#include <cognexa/XMLReaderClass.h>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstring>
#include <map>
#include <memory>

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

    const std::string& Get_Bytes(int megabytes)
    {
        std::string& bytes = Contents[megabytes];
        if (bytes.empty()) {
            bytes = Read_Bytes(Get_Path(megabytes));
        }
        return bytes;
    }

private:
    ScratchDirectoryClass Directory;
    std::map<int, std::string> Paths;
    std::map<int, std::string> Contents;
};

XmlFilesClass& The_Xml_Files()
{
    static XmlFilesClass files;
    return files;
}

void BM_Xml_Library(benchmark::State& state)
{
    Install_Bench_Host(nullptr);
    const int megabytes = static_cast<int>(state.range(0));
    const std::string& path = The_Xml_Files().Get_Path(megabytes);
    const std::size_t size = The_Xml_Files().Get_Bytes(megabytes).size();
    for (auto _ : state) {
        XMLReaderClass reader;
        if (reader.Load_File(path, true) != XML_OK) {
            state.SkipWithError("the reader rejected the file");
            break;
        }
        benchmark::DoNotOptimize(reader.Get_Root_Node());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}
BENCHMARK(BM_Xml_Library)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_Xml_Pugixml(benchmark::State& state)
{
    const std::string& bytes = The_Xml_Files().Get_Bytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_buffer(bytes.data(), bytes.size())) {
            state.SkipWithError("pugixml rejected the file");
            break;
        }
        benchmark::DoNotOptimize(document.first_child());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Xml_Pugixml)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_Xml_Tinyxml2(benchmark::State& state)
{
    const std::string& bytes = The_Xml_Files().Get_Bytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tinyxml2::XMLDocument document;
        if (document.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
            state.SkipWithError("tinyxml2 rejected the file");
            break;
        }
        benchmark::DoNotOptimize(document.RootElement());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Xml_Tinyxml2)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

// Every "<" found: the least any parser must do is look at every byte once.
void BM_Xml_Memchr(benchmark::State& state)
{
    const std::string& bytes = The_Xml_Files().Get_Bytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t tags = 0;
        const char* position = bytes.data();
        const char* const end = position + bytes.size();
        while ((position = static_cast<const char*>(std::memchr(position, '<', end - position))) != nullptr) {
            ++tags;
            ++position;
        }
        benchmark::DoNotOptimize(tags);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_Xml_Memchr)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

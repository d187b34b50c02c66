#include "FuzzScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

std::string Make_Directory()
{
    const char* shared_memory = "/dev/shm";
    std::string base = std::filesystem::is_directory(shared_memory) ? shared_memory
                                                                     : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/cognexa-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

struct ScratchDirectoryStruct {
    std::string Path = Make_Directory();
    ~ScratchDirectoryStruct()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

}  // namespace

namespace FuzzScratchFile {

const std::string& Directory()
{
    static ScratchDirectoryStruct directory;
    return directory.Path;
}

std::string Write(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = Directory() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size)) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

}  // namespace FuzzScratchFile

// Packs a folder into a mega file at build time, so the sample game's archive is never a stale
// binary. Member names are the paths below the folder, as the game names them.
//
// usage: pack_sample_archive ARCHIVE FOLDER
#include "data/MegaArchiveWriterClass.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pack_sample_archive ARCHIVE FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[2];
    MegaArchiveWriterClass writer;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream stream(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        if (!writer.Add_File(entry.path().lexically_relative(folder).string(), bytes)) {
            std::fprintf(stderr, "pack_sample_archive: %s\n", writer.Get_Last_Error().c_str());
            return 1;
        }
    }
    if (!writer.Write_To_File(argv[1])) {
        std::fprintf(stderr, "pack_sample_archive: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

#include "tools/MegaCommandClass.h"

#include "tools/ArchiveExtractorClass.h"
#include "tools/ArchiveVerifierClass.h"
#include "tools/CommandLineClass.h"
#include "tools/ProgressBarClass.h"

#include <cognexa/MegaArchiveClass.h>

#include "data/MegaArchiveWriterClass.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

const char MegaCommandClass::USAGE[] =
    "usage: cognexa mega list ARCHIVE [--json]\n"
    "       cognexa mega extract ARCHIVE [DIR] [NAMES...] [--force]\n"
    "       cognexa mega create ARCHIVE DIR|FILES... [--force]\n"
    "       cognexa mega verify ARCHIVE\n"
    "\n"
    "  list     every member: size, name CRC, offset and stored name, in file-table order\n"
    "  extract  every member, or the NAMES given, below DIR (default: the current folder);\n"
    "           names that would lead outside DIR are refused and reported\n"
    "  create   an archive of the files below each DIR (named by their path below it) and of\n"
    "           each FILE (named by its path below the current folder); names are stored in\n"
    "           upper case with backslashes, the file table sorted by name CRC\n"
    "  verify   check the archive's counts, tables, records and names, naming each fault\n"
    "\n"
    "  --json   list as JSON\n"
    "  --force  replace existing files (extract) or an existing archive (create)\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be handled or a fault was found, 2 bad usage.\n";

namespace {

const CommandLineClass::OptionStruct OPTIONS[] = {
    {"help", false},
    {"json", false},
    {"force", false},
};

int Fail(const std::string& file, const std::string& message)
{
    std::fprintf(stderr, "cognexa mega: %s: %s\n", file.c_str(), message.c_str());
    return 1;
}

int Usage_Error(const std::string& message)
{
    std::fprintf(stderr, "cognexa mega: %s\n%s", message.c_str(), MegaCommandClass::USAGE);
    return 2;
}

// An archive that fits comfortably in memory is read in one go, so members are not each read
// through an open of their own.
constexpr std::uintmax_t IN_MEMORY_LIMIT = 256u << 20;

bool Open_Archive(MegaArchiveClass& archive, const std::string& path, int mode = MegaArchiveClass::MODE_STREAMED)
{
    if (archive.Open(path, mode)) {
        return true;
    }
    std::error_code failure;
    Fail(path, fs::exists(path, failure) ? "cannot be opened as a mega file (see cognexa mega verify)" : "no such file");
    return false;
}

// Where the member's bytes start: a member stream stands there when it is opened.
long long Member_Offset(MegaArchiveClass& archive, int index)
{
    std::unique_ptr<FileStreamClass> stream(archive.Open_Sub_File_Stream(index));
    return stream == nullptr ? -1 : stream->Tell();
}

struct SourceFileStruct {
    std::string Name;  // as given to the writer; it stores the normalised form
    fs::path Path;
};

bool Read_Whole_File(const fs::path& path, std::string& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// A FILE argument is named by its path below the current folder; one outside it has no name
// the game could use.
bool Name_Of_File(const fs::path& path, std::string& name)
{
    const fs::path relative = fs::absolute(path).lexically_normal().lexically_relative(fs::current_path());
    if (relative.empty() || *relative.begin() == "..") {
        return false;
    }
    name = relative.generic_string();
    return true;
}

bool Gather_Sources(const std::vector<std::string>& inputs, const fs::path& archive,
                    std::vector<SourceFileStruct>& sources)
{
    for (const std::string& input : inputs) {
        std::error_code failure;
        if (fs::is_directory(input, failure)) {
            std::vector<SourceFileStruct> found;
            for (fs::recursive_directory_iterator entry(input, failure), end; !failure && entry != end;
                 entry.increment(failure)) {
                if (entry->is_regular_file() && !fs::equivalent(entry->path(), archive, failure)) {
                    found.push_back({entry->path().lexically_relative(input).generic_string(), entry->path()});
                }
            }
            if (failure) {
                Fail(input, failure.message());
                return false;
            }
            std::sort(found.begin(), found.end(),
                      [](const SourceFileStruct& a, const SourceFileStruct& b) { return a.Name < b.Name; });
            sources.insert(sources.end(), found.begin(), found.end());
            continue;
        }
        if (!fs::is_regular_file(input, failure)) {
            Fail(input, "no such file or folder");
            return false;
        }
        std::string name;
        if (!Name_Of_File(input, name)) {
            Fail(input, "lies outside the current folder, so it has no member name; pack its folder instead");
            return false;
        }
        sources.push_back({name, input});
    }
    return true;
}

}  // namespace

int MegaCommandClass::List(const CommandLineClass& line)
{
    if (line.Get_Positionals().size() != 2) {
        return Usage_Error("list wants one archive");
    }
    const std::string& path = line.Get_Positionals()[1];
    MegaArchiveClass archive;
    if (!Open_Archive(archive, path)) {
        return 1;
    }
    const bool json = line.Has("json");
    nlohmann::ordered_json members = nlohmann::ordered_json::array();
    std::string name;
    if (!json) {
        std::printf("%10s  %-8s  %10s  %s\n", "SIZE", "CRC", "OFFSET", "NAME");
    }
    for (std::uint32_t index = 0; index < archive.Get_Record_Count(); ++index) {
        const int member = static_cast<int>(index);
        archive.Get_Sub_File_Name(member, name);
        const unsigned size = archive.Get_Sub_File_Size(member);
        const unsigned crc = archive.Get_Sub_File_CRC(member);
        const long long offset = Member_Offset(archive, member);
        if (json) {
            char crc_text[9];
            std::snprintf(crc_text, sizeof crc_text, "%08X", crc);
            members.push_back({{"name", name}, {"size", size}, {"crc", crc_text}, {"offset", offset}});
        } else {
            std::printf("%10u  %08X  %10lld  %s\n", size, crc, offset, name.c_str());
        }
    }
    if (json) {
        // Stored names are bytes; ones that are not UTF-8 are shown replaced.
        std::printf("%s\n", members.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
    }
    return 0;
}

int MegaCommandClass::Extract(const CommandLineClass& line)
{
    const std::vector<std::string>& positionals = line.Get_Positionals();
    if (positionals.size() < 2) {
        return Usage_Error("extract wants an archive");
    }
    const std::string& path = positionals[1];
    const fs::path target = positionals.size() > 2 ? fs::path(positionals[2]) : fs::current_path();
    std::error_code failure;
    const std::uintmax_t size = fs::file_size(path, failure);
    const int mode = !failure && size <= IN_MEMORY_LIMIT ? MegaArchiveClass::MODE_IN_MEMORY : MegaArchiveClass::MODE_STREAMED;
    MegaArchiveClass archive;
    if (!Open_Archive(archive, path, mode)) {
        return 1;
    }

    std::vector<int> members;
    int status = 0;
    for (std::size_t index = 3; index < positionals.size(); ++index) {
        const int member = archive.Find_Sub_File(positionals[index]);
        if (member < 0) {
            status = Fail(path, "holds no member \"" + positionals[index] + "\"");
        } else {
            members.push_back(member);
        }
    }
    if (positionals.size() <= 3) {
        for (std::uint32_t index = 0; index < archive.Get_Record_Count(); ++index) {
            members.push_back(static_cast<int>(index));
        }
    }

    fs::create_directories(target, failure);
    if (!fs::is_directory(target, failure)) {
        return Fail(target.string(), "cannot be made a folder to extract into");
    }
    ArchiveExtractorClass extractor(archive, target, line.Has("force"));
    ProgressBarClass progress("extracting", members.size());
    for (const int member : members) {
        if (!extractor.Extract(member)) {
            status = Fail(path, extractor.Get_Error());
        }
        progress.Advance();
    }
    return status;
}

int MegaCommandClass::Create(const CommandLineClass& line)
{
    const std::vector<std::string>& positionals = line.Get_Positionals();
    if (positionals.size() < 3) {
        return Usage_Error("create wants an archive and at least one folder or file");
    }
    const fs::path archive = positionals[1];
    std::error_code failure;
    if (fs::exists(archive, failure) && !line.Has("force")) {
        return Fail(archive.string(), "exists (use --force to replace it)");
    }
    std::vector<SourceFileStruct> sources;
    if (!Gather_Sources(std::vector<std::string>(positionals.begin() + 2, positionals.end()), archive, sources)) {
        return 1;
    }
    if (sources.empty()) {
        return Fail(archive.string(), "no files to pack");
    }

    MegaArchiveWriterClass writer;
    ProgressBarClass progress("packing", sources.size());
    std::string bytes;
    for (const SourceFileStruct& source : sources) {
        if (!Read_Whole_File(source.Path, bytes)) {
            return Fail(source.Path.string(), "cannot be read");
        }
        if (!writer.Add_File(source.Name, bytes)) {
            return Fail(source.Path.string(), writer.Get_Last_Error());
        }
        progress.Advance();
    }
    if (writer.Get_File_Count() > 0xFFFF) {
        return Fail(archive.string(), "more than 65535 members do not fit the 16-bit name index");
    }
    if (!writer.Write_To_File(archive.string())) {
        return Fail(archive.string(), "cannot be written (the archive must stay below 2 GiB)");
    }
    return 0;
}

// The format's faults first; a sound file must then also open in the game's reader and find
// each member by its stored name.
int MegaCommandClass::Verify(const CommandLineClass& line)
{
    if (line.Get_Positionals().size() != 2) {
        return Usage_Error("verify wants one archive");
    }
    const std::string& path = line.Get_Positionals()[1];
    ArchiveVerifierClass verifier;
    if (!verifier.Load(path)) {
        return Fail(path, "cannot be read");
    }
    std::vector<std::string> faults = verifier.Verify();
    if (faults.empty()) {
        MegaArchiveClass archive;
        if (!archive.Open(path, MegaArchiveClass::MODE_STREAMED)) {
            faults.push_back("the game's archive reader refuses the file");
        }
        std::string name;
        for (std::uint32_t index = 0; faults.empty() && index < archive.Get_Record_Count(); ++index) {
            archive.Get_Sub_File_Name(static_cast<int>(index), name);
            if (archive.Find_Sub_File(name) != static_cast<int>(index)) {
                faults.push_back("record " + std::to_string(index) + ": a lookup of its name \"" + name +
                                 "\" does not find it");
            }
        }
    }
    for (const std::string& fault : faults) {
        std::printf("%s: %s\n", path.c_str(), fault.c_str());
    }
    if (!faults.empty()) {
        std::fprintf(stderr, "cognexa mega verify: %s: %zu fault%s\n", path.c_str(), faults.size(),
                     faults.size() == 1 ? "" : "s");
        return 1;
    }
    std::printf("%s: OK, %u members\n", path.c_str(), verifier.Get_Record_Count());
    return 0;
}

int MegaCommandClass::Run(const std::vector<std::string>& arguments)
{
    CommandLineClass line;
    if (!line.Parse(arguments, std::vector<CommandLineClass::OptionStruct>(std::begin(OPTIONS), std::end(OPTIONS)))) {
        return Usage_Error(line.Get_Error());
    }
    if (line.Has("help") || line.Get_Positionals().empty()) {
        if (!line.Has("help")) {
            return Usage_Error("which mega command?");
        }
        std::fputs(USAGE, stdout);
        return 0;
    }
    using ActionType = int (MegaCommandClass::*)(const CommandLineClass&);
    struct ActionStruct {
        const char* Name;
        ActionType Action;
    };
    static const ActionStruct ACTIONS[] = {
        {"list", &MegaCommandClass::List},
        {"extract", &MegaCommandClass::Extract},
        {"create", &MegaCommandClass::Create},
        {"verify", &MegaCommandClass::Verify},
    };
    const std::string& action = line.Get_Positionals()[0];
    for (const ActionStruct& entry : ACTIONS) {
        if (action == entry.Name) {
            return (this->*entry.Action)(line);
        }
    }
    return Usage_Error("unknown mega command \"" + action + "\"");
}

#include "ToolTestSupport.h"

#include "data/Crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string Shell_Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char byte : text) {
        quoted += byte == '\'' ? std::string("'\\''") : std::string(1, byte);
    }
    return quoted + "'";
}

void Put_Le32(std::string& image, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        image += static_cast<char>(value >> shift);
    }
}

void Put_Le16(std::string& image, std::uint32_t value)
{
    image += static_cast<char>(value);
    image += static_cast<char>(value >> 8);
}

}  // namespace

fs::path Fresh_Folder(const std::string& name)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = std::string(test->test_suite_name()) + "." + test->name() + "." + name;
    std::replace(unique.begin(), unique.end(), '/', '_');
    const fs::path folder = fs::path(COGNEXA_TOOL_SCRATCH) / unique;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

ToolRunStruct Run_Tool(const std::vector<std::string>& arguments, const fs::path& folder)
{
    const fs::path where = folder.empty() ? Fresh_Folder("run") : folder;
    const fs::path out = where / ".tool-stdout";
    const fs::path err = where / ".tool-stderr";
    std::string command = "cd " + Shell_Quoted(where.string()) + " && " + Shell_Quoted(COGNEXA_INSTALLED_TOOL);
    for (const std::string& argument : arguments) {
        command += " " + Shell_Quoted(argument);
    }
    command += " >" + Shell_Quoted(out.string()) + " 2>" + Shell_Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRunStruct run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Read_File(out);
    run.Err = Read_File(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

void Write_File(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string Read_File(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines_Of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Raw_Archive(const std::vector<RawMemberStruct>& members)
{
    std::vector<std::size_t> order(members.size());
    for (std::size_t index = 0; index < order.size(); ++index) {
        order[index] = index;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return Crc32(members[a].Name) < Crc32(members[b].Name); });
    std::string image;
    Put_Le32(image, static_cast<std::uint32_t>(members.size()));
    Put_Le32(image, static_cast<std::uint32_t>(members.size()));
    for (const RawMemberStruct& member : members) {
        Put_Le16(image, static_cast<std::uint32_t>(member.Name.size()));
        image += member.Name;
    }
    std::size_t start = image.size() + 20 * members.size();
    for (std::size_t position = 0; position < order.size(); ++position) {
        const RawMemberStruct& member = members[order[position]];
        Put_Le32(image, Crc32(member.Name));
        Put_Le32(image, static_cast<std::uint32_t>(position));
        Put_Le32(image, static_cast<std::uint32_t>(member.Bytes.size()));
        Put_Le32(image, static_cast<std::uint32_t>(start));
        Put_Le16(image, static_cast<std::uint32_t>(order[position]));
        Put_Le16(image, 0);
        start += member.Bytes.size();
    }
    for (std::size_t index : order) {
        image += members[index].Bytes;
    }
    return image;
}

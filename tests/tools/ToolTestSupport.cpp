#include "ToolTestSupport.h"

#include "data/Crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
// The tool's console output as the C runtime reads text: line ends without their carriage returns.
std::string Text_Of(std::string bytes)
{
    std::string::size_type kept = 0;
    for (std::string::size_type at = 0; at < bytes.size(); ++at) {
        if (!(bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')) bytes[kept++] = bytes[at];
    }
    bytes.resize(kept);
    return bytes;
}

// One argument of a Windows command line, quoted so the C runtime splits it back as written.
std::string Command_Line_Quoted(const std::string& text)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char byte : text) {
        if (byte == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(byte == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += byte;
    }
    return quoted.append(2 * backslashes, '\\') + "\"";
}

HANDLE Inheritable_File(const fs::path& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.string().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Run_Program(const std::vector<std::string>& arguments, const fs::path& where, const fs::path& out,
                const fs::path& err)
{
    std::string command = Command_Line_Quoted(COGNEXA_INSTALLED_TOOL ".exe");
    for (const std::string& argument : arguments) {
        command += " " + Command_Line_Quoted(argument);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable_File("NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = Inheritable_File(out, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = Inheritable_File(err, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process = {};
    DWORD status = static_cast<DWORD>(-1);
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, where.string().c_str(), &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        CloseHandle(handle);
    }
    return static_cast<int>(status);
}
#else
std::string Text_Of(std::string bytes)
{
    return bytes;
}

std::string Shell_Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char byte : text) {
        quoted += byte == '\'' ? std::string("'\\''") : std::string(1, byte);
    }
    return quoted + "'";
}

int Run_Program(const std::vector<std::string>& arguments, const fs::path& where, const fs::path& out,
                const fs::path& err)
{
    std::string command = "cd " + Shell_Quoted(where.string()) + " &&";
    for (const std::string& word : Program_Command(COGNEXA_INSTALLED_TOOL)) {
        command += " " + Shell_Quoted(word);
    }
    for (const std::string& argument : arguments) {
        command += " " + Shell_Quoted(argument);
    }
    command += " >" + Shell_Quoted(out.string()) + " 2>" + Shell_Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

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

std::vector<std::string> Program_Command(const std::string& program)
{
    std::vector<std::string> words;
#if defined(COGNEXA_PROGRAM_EMULATOR)
    const std::string emulator = COGNEXA_PROGRAM_EMULATOR;
    for (std::size_t start = 0; start < emulator.size();) {
        const std::size_t end = std::min(emulator.find(' ', start), emulator.size());
        if (end > start) {
            words.push_back(emulator.substr(start, end - start));
        }
        start = end + 1;
    }
#endif
    words.push_back(program);
    return words;
}

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
    ToolRunStruct run;
    run.Status = Run_Program(arguments, where, out, err);
    run.Out = Text_Of(Read_File(out));
    run.Err = Text_Of(Read_File(err));
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

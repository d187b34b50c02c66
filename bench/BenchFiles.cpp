#include "BenchFiles.h"

#include "BenchHost.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

ScratchDirectoryClass::ScratchDirectoryClass(const char* purpose)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "cognexa-bench-").string() + purpose + "-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
        Path = pattern;
    }
}

ScratchDirectoryClass::~ScratchDirectoryClass()
{
    if (!Path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
}

namespace {

const std::vector<std::string>& Token_Expressions()
{
    static const std::vector<std::string> expressions = [] {
        std::vector<std::string> converted;
        for (const std::string& line : Read_Data_Lines(std::string(COGNEXA_BENCH_DATA_DIR) + "/expressions.txt")) {
            converted.push_back(To_Token_Expression(line));
        }
        return converted;
    }();
    return expressions;
}

}  // namespace

std::string Make_Equation_File(int first, int equation_count, std::size_t minimum_bytes,
                               EquationNameFunction name_of)
{
    const std::vector<std::string>& expressions = Token_Expressions();
    std::string file = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                       "<!-- Perception equations of the benchmark game. -->\r\n"
                       "<Equations>\r\n";
    std::string name;
    for (int number = first;; ++number) {
        const int written = number - first;
        if (equation_count > 0 ? written >= equation_count : file.size() >= minimum_bytes) {
            break;
        }
        if (number % 8 == 0) {
            file += "\r\n\t<!-- Group ";
            file += std::to_string(number / 8);
            file += ": weights of one decision. -->\r\n";
        }
        if (name_of != nullptr) {
            name = name_of(number);
        } else {
            char numbered[64];
            std::snprintf(numbered, sizeof numbered, "Perception_Weight_%06d", number);
            name = numbered;
        }
        file += "\t<";
        file += name;
        file += ">\r\n\t\t";
        file += expressions[static_cast<std::size_t>(number) % expressions.size()];
        file += "\r\n\t</";
        file += name;
        file += ">\r\n";
    }
    file += "</Equations>\r\n";
    return file;
}

bool Write_Bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string Read_Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

WorkingDirectoryClass::WorkingDirectoryClass(const std::string& path)
    : Previous(std::filesystem::current_path().string())
{
    std::filesystem::current_path(path);
}

WorkingDirectoryClass::~WorkingDirectoryClass()
{
    std::error_code ignored;
    std::filesystem::current_path(Previous, ignored);
}

void Make_Directories(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
}

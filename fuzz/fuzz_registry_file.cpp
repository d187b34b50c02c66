// Registry stand-in files: parsed, every key and value named in the text read back, values
// written into existing and new keys, and the written text parsed again: what was written must
// read back unchanged.
#include "launcher/RegistryFileClass.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Max_Names = 48;

struct NamesStruct {
    std::vector<std::string> Keys;
    std::vector<std::string> Values;
};

// Key paths (with and without their hive) and value names as they stand in the text.
NamesStruct Names_In(const std::string& text)
{
    NamesStruct names;
    std::size_t start = 0;
    while (start < text.size() && names.Keys.size() + names.Values.size() < Max_Names) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t open = line.find('[');
        const std::size_t close = line.rfind(']');
        if (open != std::string::npos && close != std::string::npos && close > open) {
            std::string key = line.substr(open + 1, close - open - 1);
            if (!key.empty() && key[0] == '-') key.erase(0, 1);
            names.Keys.push_back(key);
            const std::size_t separator = key.find('\\');
            if (separator != std::string::npos) names.Keys.push_back(key.substr(separator + 1));
            continue;
        }
        const std::size_t quote = line.find('"');
        const std::size_t closing = quote == std::string::npos ? quote : line.find('"', quote + 1);
        if (closing != std::string::npos) names.Values.push_back(line.substr(quote + 1, closing - quote - 1));
    }
    names.Values.push_back("");
    return names;
}

bool Same(const RegistryValue& left, const RegistryValue& right)
{
    return left.type == right.type && left.data == right.data;
}

void Require(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "registry file: %s\n", what);
    std::abort();
}

// After a write that succeeded, the value reads back, also from the file's text parsed again.
void Write_And_Read_Back(RegistryFileClass& file, RegistryHive hive, const std::string& key,
                         const std::string& name, const RegistryValue& value, bool create_key)
{
    if (!file.Write(key, name, value, create_key)) return;
    RegistryValue read;
    Require(file.Read(key, name, read) && Same(read, value), "a written value does not read back");
    RegistryFileClass reparsed(hive);
    Require(reparsed.Parse(file.Text()), "the written text does not parse");
    Require(reparsed.Read(key, name, read) && Same(read, value), "a written value does not survive the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const RegistryHive hive = size % 2 == 0 ? RegistryHive::LocalMachine : RegistryHive::CurrentUser;
    RegistryFileClass file(hive);
    const bool usable = file.Parse(text);
    file.Text();

    const NamesStruct names = Names_In(text);
    RegistryValue value;
    std::string string_value;
    std::uint32_t number = 0;
    for (const std::string& key : names.Keys) {
        file.Key_Exists(key);
        for (const std::string& name : names.Values) {
            if (!file.Read(key, name, value)) continue;
            value.As_Dword(number);
            value.As_String(string_value);
            value.As_String(string_value, 4);
        }
    }
    if (!usable) {
        Require(!file.Write("Software\\Fresh", "Value", RegistryValue::From_Dword(1), true),
                "a damaged file accepted a write");
        return 0;
    }
    for (const std::string& key : names.Keys) {
        if (key.empty()) continue;
        const std::string& name = names.Values.front();
        Write_And_Read_Back(file, hive, key, name, RegistryValue::From_String("C:\\Games\\\"Quoted\""), false);
        Write_And_Read_Back(file, hive, key, name, RegistryValue::From_Dword(0xDEADBEEF), false);
    }
    Write_And_Read_Back(file, hive, "Software\\Fresh Key", "Installed", RegistryValue::From_Dword(1), true);
    Write_And_Read_Back(file, hive, "Software\\Fresh Key", "", RegistryValue::From_String("path", RegistryType::ExpandString), true);
    return 0;
}

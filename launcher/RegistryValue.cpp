#include "launcher/RegistryValue.h"

RegistryValue RegistryValue::From_String(const std::string& text, RegistryType type)
{
    RegistryValue value;
    value.type = type;
    value.data = text;
    value.data += '\0';
    return value;
}

RegistryValue RegistryValue::From_Dword(std::uint32_t number)
{
    RegistryValue value;
    value.type = RegistryType::Dword;
    for (int shift = 0; shift < 32; shift += 8) value.data += static_cast<char>((number >> shift) & 0xFF);
    return value;
}

bool RegistryValue::As_Dword(std::uint32_t& number) const
{
    if (type != RegistryType::Dword || data.size() != 4) return false;
    number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(data[i]);
    return true;
}

bool RegistryValue::As_String(std::string& text, std::size_t max_bytes) const
{
    bool string_type = type == RegistryType::String || type == RegistryType::ExpandString;
    if (!string_type || data.empty() || data.size() > max_bytes || data.back() != '\0') return false;
    text.assign(data.c_str());
    return true;
}

#ifndef VESTIBAR_REGISTRY_VALUE_H
#define VESTIBAR_REGISTRY_VALUE_H

#include <cstdint>
#include <string>

enum class RegistryHive { LocalMachine, CurrentUser };

enum class RegistryType { String, ExpandString, Dword, Other };

// A value as the registry stores it: the raw bytes, so a string carries its terminator
// (REG_SZ "abc" is the four bytes a b c NUL) and a dword its four little-endian bytes.
struct RegistryValue {
    RegistryType type = RegistryType::Other;
    std::string data;

    static RegistryValue From_String(const std::string& text, RegistryType type = RegistryType::String);
    static RegistryValue From_Dword(std::uint32_t number);
    // The dword, when the value is one of exactly four bytes.
    bool As_Dword(std::uint32_t& number) const;
    // The text, when the value is of a string type and ends with its terminator within
    // max_bytes (terminator included); otherwise the value counts as absent.
    bool As_String(std::string& text, std::size_t max_bytes = 260) const;
};

#endif

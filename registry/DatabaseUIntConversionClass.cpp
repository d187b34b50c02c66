#include <cognexa/DatabaseUIntConversionClass.h>

#include "registry/StringHash.h"

#include <unordered_map>

namespace {

// Converters by exact type name. A function-local table, so converters constructed during
// static initialisation of the host find it ready.
std::unordered_map<std::string, const DatabaseUIntConversionClass*, StringHashFunctor>& Converter_Registry()
{
    static std::unordered_map<std::string, const DatabaseUIntConversionClass*, StringHashFunctor> registry;
    return registry;
}

}  // namespace

DatabaseUIntConversionClass::DatabaseUIntConversionClass(const std::string& type_name)
{
    Converter_Registry().emplace(type_name, this);
}

// A copy converts like its original but is not entered under the type name.
DatabaseUIntConversionClass::DatabaseUIntConversionClass(const DatabaseUIntConversionClass&) = default;

DatabaseUIntConversionClass& DatabaseUIntConversionClass::operator=(const DatabaseUIntConversionClass&) = default;

DatabaseUIntConversionClass::~DatabaseUIntConversionClass()
{
    auto& registry = Converter_Registry();
    for (auto entry = registry.begin(); entry != registry.end(); ++entry) {
        if (entry->second == this) {
            registry.erase(entry);
            return;
        }
    }
}

const DatabaseUIntConversionClass* DatabaseUIntConversionClass::Find_Converter(const std::string& type_name)
{
    const auto& registry = Converter_Registry();
    const auto entry = registry.find(type_name);
    return entry != registry.end() ? entry->second : nullptr;
}

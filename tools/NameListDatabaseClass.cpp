#include "tools/NameListDatabaseClass.h"

#include "tools/ToolTokenConverterClass.h"

// Registered under a prefixed type name, so a database called like one of the library's own
// converters ("PerceptionFunctionClass") never displaces it.
NameListDatabaseClass::NameListDatabaseClass(const std::string& database_name,
                                             const std::vector<std::string>& object_names, bool open)
    : DatabaseUIntConversionClass("cognexa-tool:" + database_name), Open(open), Names(object_names)
{
    for (std::size_t index = 0; index < Names.size(); ++index) {
        Ids.emplace(Names[index], static_cast<unsigned int>(index + 1));
    }
}

bool NameListDatabaseClass::String_To_UInt(const std::string& name, unsigned int& id) const
{
    const std::string key = Trim_Trailing_Blanks(name);
    const auto found = Ids.find(key);
    if (found != Ids.end()) {
        id = found->second;
        return true;
    }
    if (!Open || key.empty()) {
        return false;
    }
    Names.push_back(key);
    id = static_cast<unsigned int>(Names.size());
    Ids.emplace(key, id);
    return true;
}

std::string NameListDatabaseClass::UInt_To_String(unsigned int id) const
{
    return id >= 1 && id <= Names.size() ? Names[id - 1] : std::string();
}

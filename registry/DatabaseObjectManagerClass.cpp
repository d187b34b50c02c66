#include <cognexa/DatabaseObjectManagerClass.h>
#include <cognexa/PerceptionFunctionClass.h>

#include "foundation/AsciiCharacterTable.h"
#include "registry/StringHash.h"

#include <iterator>

namespace {

// Ids are handed out from one counter for the whole module, so no two live entries share one
// even across tables; 0 is never an id, as hosts preset ids to 0.
unsigned int Next_Object_Id()
{
    static unsigned int next_id = 0;
    if (++next_id == 0) {
        ++next_id;
    }
    return next_id;
}

// The key of a name: its ASCII letters upper-cased, whatever the host's locale.
std::string Key_Of(const std::string& name)
{
    return AsciiCharacterTable::Ascii_Upper_Copy(name);
}

const char BAD_VALUE[] = "-BAD VALUE-";

}  // namespace

std::size_t DatabaseKeyHashStruct::operator()(const std::string& key) const
{
    return Hash_String(key);
}

template <typename T>
DatabaseObjectManagerClass<T>::DatabaseObjectManagerClass(const std::string& type_name)
    : DatabaseUIntConversionClass(type_name)
{
}

template <typename T>
DatabaseObjectManagerClass<T>::DatabaseObjectManagerClass(const DatabaseObjectManagerClass& other)
    : DatabaseUIntConversionClass(other)
{
    Copy_Entries_From(other);
}

template <typename T>
DatabaseObjectManagerClass<T>& DatabaseObjectManagerClass<T>::operator=(const DatabaseObjectManagerClass& other)
{
    if (this != &other) {
        Table.clear();
        Entries.clear();
        Copy_Entries_From(other);
    }
    return *this;
}

template <typename T>
void DatabaseObjectManagerClass<T>::Copy_Entries_From(const DatabaseObjectManagerClass& other)
{
    // In the other's entry order, so a copy iterates as the original does.
    for (const EntryType& entry : other.Entries) {
        Entries.push_back(entry);
        Table.emplace(entry.first, SlotStruct{std::prev(Entries.end()), other.Table.at(entry.first).Id});
    }
}

template <typename T>
DatabaseObjectManagerClass<T>::~DatabaseObjectManagerClass() = default;

template <typename T>
void DatabaseObjectManagerClass<T>::Add_Managed_Object(const std::string& name, T* object)
{
    if (object == nullptr) {
        return;
    }
    const std::string key = Key_Of(name);
    const auto existing = Table.find(key);
    if (existing != Table.end()) {
        if (existing->second.Entry->second != nullptr) {
            return;
        }
        // An entry left without object takes the new one, under a fresh id.
        Entries.erase(existing->second.Entry);
        Table.erase(existing);
    }
    Entries.emplace_back(key, object);
    Table.emplace(key, SlotStruct{std::prev(Entries.end()), Next_Object_Id()});
}

template <typename T>
bool DatabaseObjectManagerClass<T>::Remove_Managed_Object(const std::string& name)
{
    const auto slot = Table.find(Key_Of(name));
    if (slot == Table.end()) {
        return false;
    }
    T* object = slot->second.Entry->second;
    Entries.erase(slot->second.Entry);
    Table.erase(slot);
    if (object != nullptr) {
        Cleanup_Object(object);
    }
    return true;
}

template <typename T>
T* DatabaseObjectManagerClass<T>::Get_Managed_Object(const std::string& name) const
{
    const auto slot = Table.find(Key_Of(name));
    return slot != Table.end() ? slot->second.Entry->second : nullptr;
}

template <typename T>
void DatabaseObjectManagerClass<T>::Cleanup()
{
    for (const EntryType& entry : Entries) {
        if (entry.second != nullptr) {
            Cleanup_Object(entry.second);
        }
    }
    Table.clear();
    Entries.clear();
}

template <typename T>
bool DatabaseObjectManagerClass<T>::String_To_UInt(const std::string& name, unsigned int& id) const
{
    const auto slot = Table.find(Key_Of(name));
    if (slot == Table.end() || slot->second.Entry->second == nullptr) {
        return false;
    }
    id = slot->second.Id;
    return true;
}

template <typename T>
std::string DatabaseObjectManagerClass<T>::UInt_To_String(unsigned int id) const
{
    for (const auto& slot : Table) {
        if (slot.second.Id == id && slot.second.Entry->second != nullptr) {
            return slot.first;
        }
    }
    return BAD_VALUE;
}

template class DatabaseObjectManagerClass<PerceptionFunctionClass>;

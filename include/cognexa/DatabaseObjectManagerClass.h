#ifndef COGNEXA_DATABASE_OBJECT_MANAGER_CLASS_H
#define COGNEXA_DATABASE_OBJECT_MANAGER_CLASS_H

#include <cognexa/DatabaseUIntConversionClass.h>
#include <cognexa/Export.h>

#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

class PerceptionFunctionClass;

// Hash of the upper-cased keys: the library's string hash, which samples at most 15 bytes.
struct COGNEXA_API DatabaseKeyHashStruct {
    std::size_t operator()(const std::string& key) const;
};

// What the table's buckets hash: the whole key. The sampled string hash puts numbered names
// (EQUATION_0000 to EQUATION_4999) into a few dozen values, and lookups into long chains.
struct DatabaseBucketHashStruct {
    std::size_t operator()(const std::string& key) const { return std::hash<std::string>()(key); }
};

// A table of named objects that also converts names to ids and back. Names match without regard
// to ASCII letter case: every entry is keyed by its name upper-cased. An object's id is a 32-bit
// value given to its entry when it is added, unique among live entries; a copy of the table keeps
// the ids.
//
// Whether the table owns its objects is decided by Cleanup_Object, which every removal calls.
// The library instantiates the template for PerceptionFunctionClass only.
template <typename T>
class DatabaseObjectManagerClass : public DatabaseUIntConversionClass {
public:
    typedef std::pair<const std::string, T*> EntryType;
    typedef typename std::list<EntryType>::const_iterator IteratorType;

    explicit DatabaseObjectManagerClass(const std::string& type_name);
    DatabaseObjectManagerClass(const DatabaseObjectManagerClass& other);
    DatabaseObjectManagerClass& operator=(const DatabaseObjectManagerClass& other);
    // Derived classes empty the table in their own destructor, since Cleanup_Object is abstract here.
    ~DatabaseObjectManagerClass() override;

    bool Remove_Managed_Object(const std::string& name);
    T* Get_Managed_Object(const std::string& name) const;

    IteratorType Get_Iterator() const { return Entries.cbegin(); }
    IteratorType Get_Iterator_End() const { return Entries.cend(); }

    bool String_To_UInt(const std::string& name, unsigned int& id) const override;
    std::string UInt_To_String(unsigned int id) const override;

protected:
    void Add_Managed_Object(const std::string& name, T* object);
    void Cleanup();
    virtual void Cleanup_Object(T* object) const = 0;

private:
    struct SlotStruct {
        typename std::list<EntryType>::iterator Entry;
        unsigned int Id;
    };

    void Copy_Entries_From(const DatabaseObjectManagerClass& other);

    std::list<EntryType> Entries;
    std::unordered_map<std::string, SlotStruct, DatabaseBucketHashStruct> Table;
};

extern template class COGNEXA_API DatabaseObjectManagerClass<PerceptionFunctionClass>;

#endif

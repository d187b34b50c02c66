#ifndef COGNEXA_DATABASE_UINT_CONVERSION_CLASS_H
#define COGNEXA_DATABASE_UINT_CONVERSION_CLASS_H

#include <cognexa/Export.h>

#include <string>

// A named database of objects whose ids are unsigned 32-bit values. Constructing one enters it
// in a module-wide registry under its type name (the first object of a name keeps the entry);
// destroying it removes its entry.
class COGNEXA_API DatabaseUIntConversionClass {
public:
    explicit DatabaseUIntConversionClass(const std::string& type_name);
    DatabaseUIntConversionClass(const DatabaseUIntConversionClass& other);
    DatabaseUIntConversionClass& operator=(const DatabaseUIntConversionClass& other);
    virtual ~DatabaseUIntConversionClass();

    // The id of the named object; the library presets id to 0.
    virtual bool String_To_UInt(const std::string& name, unsigned int& id) const = 0;
    virtual std::string UInt_To_String(unsigned int id) const = 0;

    // The converter registered under type_name, or null.
    static const DatabaseUIntConversionClass* Find_Converter(const std::string& type_name);
};

#endif

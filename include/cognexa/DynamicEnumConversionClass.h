#ifndef COGNEXA_DYNAMIC_ENUM_CONVERSION_CLASS_H
#define COGNEXA_DYNAMIC_ENUM_CONVERSION_CLASS_H

#include <string>

// Converts names to values of an enumeration that the host defines at run time. The library
// hands in the output preset to -1 and treats false as an unknown name.
template <typename T>
class DynamicEnumConversionClass {
public:
    virtual ~DynamicEnumConversionClass() = default;
    virtual bool String_To_Enum(const std::string& name, T& value) const = 0;
};

#endif

#include "UnitTypeDatabaseClass.h"

#include "ExampleTokens.h"

namespace {

struct UnitTypeStruct {
    const char* Name;
    unsigned int Id;
};

const UnitTypeStruct UNIT_TYPES[] = {
    {"Infantry", UnitTypeDatabaseClass::INFANTRY},
    {"Scout_Bike", UnitTypeDatabaseClass::SCOUT_BIKE},
    {"Heavy_Tank", UnitTypeDatabaseClass::HEAVY_TANK},
    {"Artillery", UnitTypeDatabaseClass::ARTILLERY},
};

}  // namespace

bool UnitTypeDatabaseClass::String_To_UInt(const std::string& name, unsigned int& id) const
{
    const std::string trimmed = Trim_Trailing_Blanks(name);
    for (const UnitTypeStruct& type : UNIT_TYPES) {
        if (trimmed == type.Name) {
            id = type.Id;
            return true;
        }
    }
    return false;
}

std::string UnitTypeDatabaseClass::UInt_To_String(unsigned int id) const
{
    for (const UnitTypeStruct& type : UNIT_TYPES) {
        if (type.Id == id) {
            return type.Name;
        }
    }
    return std::string();
}

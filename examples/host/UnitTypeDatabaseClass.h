#ifndef COGNEXA_UNIT_TYPE_DATABASE_CLASS_H
#define COGNEXA_UNIT_TYPE_DATABASE_CLASS_H

#include <cognexa/DatabaseUIntConversionClass.h>

#include <string>

// The unit types of the example game, referred to in equations as UnitTypes[Heavy_Tank]. The
// id reaches the host bit for bit as a bound value.
class UnitTypeDatabaseClass : public DatabaseUIntConversionClass {
public:
    enum : unsigned int { INFANTRY = 100, SCOUT_BIKE, HEAVY_TANK, ARTILLERY };

    UnitTypeDatabaseClass() : DatabaseUIntConversionClass("UnitTypes") {}

    bool String_To_UInt(const std::string& name, unsigned int& id) const override;
    std::string UInt_To_String(unsigned int id) const override;
};

#endif

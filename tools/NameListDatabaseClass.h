#ifndef COGNEXA_TOOLS_NAME_LIST_DATABASE_CLASS_H
#define COGNEXA_TOOLS_NAME_LIST_DATABASE_CLASS_H

#include <cognexa/DatabaseUIntConversionClass.h>

#include <map>
#include <string>
#include <vector>

// A game database as the tool knows it: its object names, each with the id of its position
// (1, 2, ...). Object names are compared exactly, without the blanks that follow them. An open
// database knows every name: each gets the next id on first sight.
class NameListDatabaseClass : public DatabaseUIntConversionClass {
public:
    NameListDatabaseClass(const std::string& database_name, const std::vector<std::string>& object_names,
                          bool open);

    bool String_To_UInt(const std::string& name, unsigned int& id) const override;
    std::string UInt_To_String(unsigned int id) const override;

private:
    bool Open;
    mutable std::map<std::string, unsigned int> Ids;
    mutable std::vector<std::string> Names;
};

#endif

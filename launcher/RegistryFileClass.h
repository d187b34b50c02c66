#ifndef VESTIBAR_REGISTRY_FILE_CLASS_H
#define VESTIBAR_REGISTRY_FILE_CLASS_H

#include "launcher/RegistryValue.h"

#include <string>
#include <vector>

// One hive of the registry kept as a REGEDIT4 text file, the syntax installers and users
// already know. Lines are kept verbatim, so writing a value changes one line and leaves every
// other key, value and comment as it was. Key paths and value names compare without regard to
// ASCII case; a key line may carry the hive's name ("[HKEY_CURRENT_USER\AppEvents]") or not.
class RegistryFileClass {
public:
    explicit RegistryFileClass(RegistryHive hive);

    // False when the text is not a registry file: then it holds nothing and refuses writes, so a
    // damaged file is never overwritten. An empty text is an empty registry file.
    bool Parse(const std::string& text);
    std::string Text() const;

    bool Key_Exists(const std::string& key) const;
    // An empty name is the key's default value ("@" in the file).
    bool Read(const std::string& key, const std::string& name, RegistryValue& value) const;
    bool Write(const std::string& key, const std::string& name, const RegistryValue& value, bool create_key);

private:
    enum class LineKind { Other, Key, ForeignKey, DeletedKey, Value };

    struct LineMeaning {
        LineKind kind = LineKind::Other;
        std::string key;
        std::string name;
        bool deleted_value = false;
        RegistryValue value;
    };

    LineMeaning Interpret(const std::string& line) const;
    bool Strip_Hive(std::string& path, bool& foreign) const;
    bool Format_Value_Line(const std::string& name, const RegistryValue& value, std::string& line) const;

    RegistryHive hive_;
    bool usable_ = true;
    bool unicode_version_ = false;  // "Windows Registry Editor Version 5.00": hex(2) holds UTF-16
    bool crlf_ = false;
    std::vector<std::string> lines_;  // logical lines; continued hex lines stay joined
};

#endif

#ifndef VESTIBAR_REGISTRY_DIRECTORY_CLASS_H
#define VESTIBAR_REGISTRY_DIRECTORY_CLASS_H

#include "launcher/RegistryValue.h"

#include <string>

// The registry stand-in: system.reg (HKEY_LOCAL_MACHINE) and user.reg (HKEY_CURRENT_USER) in
// $VESTIBAR_REGISTRY_DIR, else $XDG_CONFIG_HOME/vestibar, else ~/.config/vestibar. Every call
// reads the file afresh, so an installer writing it meanwhile is seen at once.
class RegistryDirectoryClass {
public:
    RegistryDirectoryClass();
    explicit RegistryDirectoryClass(const std::string& directory);

    const std::string& Directory() const { return directory_; }
    bool Key_Exists(RegistryHive hive, const std::string& key) const;
    bool Read(RegistryHive hive, const std::string& key, const std::string& name, RegistryValue& value) const;
    bool Write(RegistryHive hive, const std::string& key, const std::string& name, const RegistryValue& value,
               bool create_key);

private:
    std::string File_Path(RegistryHive hive) const;

    std::string directory_;
};

#endif

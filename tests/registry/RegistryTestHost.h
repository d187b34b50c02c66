#ifndef COGNEXA_TESTS_REGISTRY_TEST_HOST_H
#define COGNEXA_TESTS_REGISTRY_TEST_HOST_H

#include <cognexa/cognexa.h>

#include "platform/memory/InstalledMemoryPlatformClass.h"

#include <map>
#include <string>
#include <vector>

// A host for registry tests: every name made of letters, digits and "_" (trailing blanks
// ignored) is a token except "Unknown"; a token path "A.B" evaluates to the value set for "A.B"; bindings are recorded.
struct RegistryTestHost {
    static RegistryTestHost* Current;

    std::map<std::string, float> Values;
    std::vector<std::pair<std::string, std::string>> Bound;
    std::vector<std::string> Loaded_Files;
    std::vector<std::string> Skipped_Candidates;
    std::vector<std::string> Files_To_Skip;

    RegistryTestHost();
    ~RegistryTestHost();
    void Install(MegaFileManagerClass* files);

    static std::string Token_Name(PerceptionTokenType token);
};

// A scratch game root in memory, installed as the library's file system (its root is the
// current directory) for the life of the object.
class ScratchGameRoot {
public:

    // Writes a file under the root, creating its directories.
    void Write(const std::string& relative_path, const std::string& content) const;
    // Writes an equation file into the equation directory.
    void Write_Equations(const std::string& file_name, const std::vector<std::pair<std::string, std::string>>& equations) const;
    // Packs (path, content) pairs into an archive file under the root.
    void Write_Archive(const std::string& archive_path, const std::vector<std::pair<std::string, std::string>>& members) const;

    static std::string Equation_File(const std::vector<std::pair<std::string, std::string>>& equations);

private:
    mutable InstalledMemoryPlatformClass Files;
};

extern const char EQUATION_DIRECTORY[];

#endif

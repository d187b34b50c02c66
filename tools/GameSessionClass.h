#ifndef COGNEXA_TOOLS_GAME_SESSION_CLASS_H
#define COGNEXA_TOOLS_GAME_SESSION_CLASS_H

#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>

#include <memory>
#include <string>
#include <vector>

class ToolHostClass;

// The game's data loaded as the game loads it: from the game root, the archives of
// "Data\MegaFiles.xml", then every equation file through the registry. Shuts the registry
// down when it ends.
class GameSessionClass {
public:
    static const char ARCHIVE_LIST[];

    GameSessionClass() = default;
    ~GameSessionClass();
    GameSessionClass(const GameSessionClass&) = delete;
    GameSessionClass& operator=(const GameSessionClass&) = delete;

    // Makes the game root the current directory (equation paths are relative to it).
    static bool Enter_Root(const std::string& root, std::string& error);

    // Mounts the archives and hands the host to the library.
    void Mount(ToolHostClass& host);
    // Creates the registry and loads every equation file; System_Initialize's result.
    bool Load_Equations();

    // Archives named in the list, in order, whether or not they opened.
    const std::vector<std::string>& Get_Listed_Archives() const { return Listed_Archives; }
    bool Is_Archive_Loaded(const std::string& path) { return Files.Is_Mega_File_Loaded(path); }
    // The archive a file is read from: "" for a loose file (or one found nowhere).
    std::string Origin_Of(const std::string& path);

private:
    MegaFileManagerClass Files;
    std::vector<std::string> Listed_Archives;
    std::vector<std::unique_ptr<MegaArchiveClass>> Lookups;  // one per loaded archive, list order
    std::vector<std::string> Lookup_Paths;
    bool Registry_Created = false;
};

// A path as the registry names it (".\Data\...") as the tool shows it ("Data/...").
std::string Display_Path(const std::string& path);
// True when the loose file exists (names resolved as the game resolves them).
bool Loose_File_Exists(const std::string& path);

#endif

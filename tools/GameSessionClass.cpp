#include "tools/GameSessionClass.h"

#include "tools/ToolHostClass.h"

#include <cognexa/ThePerceptionFunctionManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "foundation/LibraryPlatformClass.h"

#include <filesystem>
#include <system_error>

const char GameSessionClass::ARCHIVE_LIST[] = "Data\\MegaFiles.xml";

std::string Display_Path(const std::string& path)
{
    std::string shown = path;
    if (shown.compare(0, 2, ".\\") == 0) {
        shown.erase(0, 2);
    }
    for (char& byte : shown) {
        if (byte == '\\') {
            byte = '/';
        }
    }
    return shown;
}

bool Loose_File_Exists(const std::string& path)
{
    return TheLibraryPlatformPtr->Open_File_For_Reading(path.c_str()) != nullptr;
}

GameSessionClass::~GameSessionClass()
{
    if (Registry_Created && ThePerceptionFunctionManagerPtr != nullptr) {
        delete ThePerceptionFunctionManagerPtr;
        ThePerceptionFunctionManagerPtr = nullptr;
    }
}

bool GameSessionClass::Enter_Root(const std::string& root, std::string& error)
{
    std::error_code failure;
    std::filesystem::current_path(root, failure);
    if (failure) {
        error = root + ": cannot enter the game root: " + failure.message();
        return false;
    }
    return true;
}

// The list is read a second time, with the same reader, only to learn which archive a file
// comes from; what is mounted is what Load_Mega_File_List mounted.
void GameSessionClass::Mount(ToolHostClass& host)
{
    host.Install(&Files);
    Files.Load_Mega_File_List("");

    XMLReaderClass reader;
    if (reader.Load_File(ARCHIVE_LIST, true) < 0) {
        return;
    }
    std::string entry;
    do {
        if (reader.Get_Value(entry) == XML_OK && !entry.empty()) {
            Listed_Archives.push_back(entry);
        }
    } while (reader.Move_To_Next_Sibling() == XML_OK);

    for (const std::string& path : Listed_Archives) {
        if (!Files.Is_Mega_File_Loaded(path)) {
            continue;
        }
        auto archive = std::make_unique<MegaArchiveClass>();
        if (archive->Open(path, MegaArchiveClass::MODE_STREAMED)) {
            Lookups.push_back(std::move(archive));
            Lookup_Paths.push_back(path);
        }
    }
}

bool GameSessionClass::Load_Equations()
{
    ThePerceptionFunctionManagerClass::Create();
    Registry_Created = ThePerceptionFunctionManagerPtr != nullptr;
    return Registry_Created && ThePerceptionFunctionManagerPtr->System_Initialize(&Files, false);
}

// The loose file wins; then the first archive in list order that holds the name, as the
// file object finds it.
std::string GameSessionClass::Origin_Of(const std::string& path)
{
    if (Loose_File_Exists(path)) {
        return std::string();
    }
    for (std::size_t index = 0; index < Lookups.size(); ++index) {
        if (Lookups[index]->Find_Sub_File(path) >= 0) {
            return Display_Path(Lookup_Paths[index]);
        }
    }
    return std::string();
}

#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/XMLReaderClass.h>

#include "equations/PerceptionDiagnosticsClass.h"
#include "foundation/TheHostBinding.h"

#include <cstring>
#include <new>

ThePerceptionFunctionManagerClass* ThePerceptionFunctionManagerPtr = nullptr;

namespace {

const char EQUATION_DIRECTORY[] = ".\\Data\\XML\\AI\\PerceptualEquations\\";
const char EQUATION_PATTERN[] = "*.XML";

bool Is_Dot_Entry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

void ThePerceptionFunctionManagerClass::Create()
{
    ThePerceptionFunctionManagerPtr = new (std::nothrow) ThePerceptionFunctionManagerClass("PerceptionFunctionClass");
}

ThePerceptionFunctionManagerClass::ThePerceptionFunctionManagerClass(const std::string& type_name)
    : DatabaseObjectManagerClass<PerceptionFunctionClass>(type_name)
{
}

ThePerceptionFunctionManagerClass::~ThePerceptionFunctionManagerClass()
{
    Cleanup();
}

void ThePerceptionFunctionManagerClass::Cleanup_Object(PerceptionFunctionClass* object) const
{
    delete object;
}

void ThePerceptionFunctionManagerClass::System_Shutdown()
{
    Cleanup();
}

bool ThePerceptionFunctionManagerClass::System_Initialize(MegaFileManagerClass* files, bool reload)
{
    if (files == nullptr) {
        return false;
    }
    const std::string directory = EQUATION_DIRECTORY;
    const std::string pattern = directory + EQUATION_PATTERN;

    WIN32_FIND_DATAA found;
    const auto search = files->Find_First(pattern.c_str(), &found);
    if (search == -1) {
        return false;
    }
    bool all_loaded = true;
    do {
        if (Is_Dot_Entry(found.cFileName)) {
            continue;
        }
        const std::string path = directory + found.cFileName;
        if (reload && TheHostBinding.Skip_File_Callback != nullptr && TheHostBinding.Skip_File_Callback(path)) {
            continue;
        }
        if (Read_Equation_File(path, reload)) {
            if (TheHostBinding.File_Loaded_Callback != nullptr) {
                TheHostBinding.File_Loaded_Callback(path);
            }
        } else {
            all_loaded = false;
        }
    } while (files->Find_Next(search, &found));
    files->Find_Close(search);
    return all_loaded;
}

bool ThePerceptionFunctionManagerClass::Read_Equation_File(const std::string& path, bool reload)
{
    PerceptionDiagnosticsClass* const diagnostics = PerceptionDiagnosticsPtr;
    if (diagnostics != nullptr) {
        diagnostics->File_Started(path);
    }
    XMLReaderClass reader;
    const int loaded = static_cast<int>(reader.Load_File(path, true));
    if (diagnostics != nullptr) {
        diagnostics->File_Loaded(path, loaded);
    }
    if (loaded < 0) {
        return false;
    }
    bool result = true;
    std::string name;
    std::string text;
    do {
        if (static_cast<int>(reader.Get_Tag_Name(name)) < 0) {
            result = false;
            continue;
        }
        if (diagnostics != nullptr) {
            diagnostics->Element_Started(name);
        }
        PerceptionFunctionClass* existing = Get_Managed_Object(name);
        // Without reload a known name is a duplicate and the first definition stays; a reload
        // never adds equations.
        if ((existing != nullptr) != reload) {
            if (diagnostics != nullptr && !reload) {
                diagnostics->Duplicate_Name(name);
            }
            result = false;
            continue;
        }
        if (static_cast<int>(reader.Get_Value(text)) < 0) {
            result = false;
            continue;
        }
        if (reload) {
            existing->Rebuild(text);
            continue;
        }
        PerceptionFunctionClass* equation = PerceptionFunctionClass::Build(text, name);
        if (equation == nullptr) {
            result = false;
            continue;
        }
        Add_Managed_Object(name, equation);
        if (diagnostics != nullptr) {
            diagnostics->Equation_Added(name);
        }
    } while (reader.Move_To_Next_Sibling() == 0);
    return result;
}

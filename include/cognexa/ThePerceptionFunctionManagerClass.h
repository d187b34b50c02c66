#ifndef COGNEXA_THE_PERCEPTION_FUNCTION_MANAGER_CLASS_H
#define COGNEXA_THE_PERCEPTION_FUNCTION_MANAGER_CLASS_H

#include <cognexa/DatabaseObjectManagerClass.h>
#include <cognexa/Export.h>
#include <cognexa/PerceptionFunctionClass.h>

#include <string>

class MegaFileManagerClass;

// The registry of every equation of the game, reached through ThePerceptionFunctionManagerPtr.
// It owns its equations: removing one, System_Shutdown and the destructor delete them. Not
// copyable: the base's copy shares the equation pointers, and two owners would delete them twice.
class COGNEXA_API ThePerceptionFunctionManagerClass : public DatabaseObjectManagerClass<PerceptionFunctionClass> {
public:
    // Allocates a new, empty registry and stores it in ThePerceptionFunctionManagerPtr. A registry
    // that was there before is neither checked for nor destroyed.
    static void Create();

    explicit ThePerceptionFunctionManagerClass(const std::string& type_name);
    ~ThePerceptionFunctionManagerClass() override;
    ThePerceptionFunctionManagerClass(const ThePerceptionFunctionManagerClass&) = delete;
    ThePerceptionFunctionManagerClass& operator=(const ThePerceptionFunctionManagerClass&) = delete;

    // Loads every "*.XML" of ".\Data\XML\AI\PerceptualEquations\" found through files (loose files
    // first, then archive members). With reload, rebuilds the equations already known in place
    // (they keep their identity) and adds none. True when every file loaded without failure.
    bool System_Initialize(MegaFileManagerClass* files, bool reload);

    // Deletes every equation; the registry stays, empty.
    void System_Shutdown();

protected:
    bool Read_Equation_File(const std::string& path, bool reload);
    void Cleanup_Object(PerceptionFunctionClass* object) const override;
};

extern COGNEXA_API ThePerceptionFunctionManagerClass* ThePerceptionFunctionManagerPtr;

#endif

#ifndef COGNEXA_THE_HOST_BINDING_H
#define COGNEXA_THE_HOST_BINDING_H

#include <cognexa/HostBinding.h>

// The hand-ins as Init_Perception_DLL stored them; all null until the host calls it.
struct HostBindingStruct {
    TokenConverterType* Token_Converter = nullptr;
    BindTokenCallbackType Bind_Token_Callback = nullptr;
    EvaluateTokenCallbackType Evaluate_Token_Callback = nullptr;
    EvaluateNotifyCallbackType Evaluate_Notify_Callback = nullptr;
    RandomFloatCallbackType Random_Float_Callback = nullptr;
    AllocateCallbackType Allocate_Callback = nullptr;
    SkipFileCallbackType Skip_File_Callback = nullptr;
    FileLoadedCallbackType File_Loaded_Callback = nullptr;
    FindDatabaseCallbackType Find_Database_Callback = nullptr;
    SetStateValueMethodType Set_State_Value_Method = nullptr;
    ResetStateMethodType Reset_State_Method = nullptr;
    MegaFileManagerClass* File_Manager = nullptr;
    bool* Host_Flag = nullptr;
};

extern HostBindingStruct TheHostBinding;

// The bulk token hand-in; null when the host has set none. Apart from the thirteen, so
// Init_Perception_DLL leaves it in place.
EvaluateTokensCallbackType Evaluate_Tokens_Callback();

#endif

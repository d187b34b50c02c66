#include "TestHandInsStruct.h"

namespace {

bool Accept_Binding(PerceptionContextClass*, PerceptionTokenType, PerceptionTokenType) { return true; }
void Ignore_Notify(const PerceptionContextClass&, const PerceptionFunctionClass&) {}
float Random_Midpoint(float low, float high) { return (low + high) / 2; }
void* Allocate_Nothing(unsigned int) { return nullptr; }
bool Skip_No_File(const std::string&) { return false; }
void Ignore_Loaded_File(const std::string&) {}
const DatabaseUIntConversionClass* Find_No_Database(const std::string&) { return nullptr; }

template <typename CallbackType>
void Fill_If_Null(CallbackType& callback, CallbackType harmless)
{
    if (callback == nullptr) callback = harmless;
}

}  // namespace

void TestHandInsStruct::Fill_Harmless_Callbacks()
{
    Fill_If_Null(Bind_Token_Callback, &Accept_Binding);
    Fill_If_Null(Evaluate_Notify_Callback, &Ignore_Notify);
    Fill_If_Null(Random_Float_Callback, &Random_Midpoint);
    Fill_If_Null(Allocate_Callback, &Allocate_Nothing);
    Fill_If_Null(Skip_File_Callback, &Skip_No_File);
    Fill_If_Null(File_Loaded_Callback, &Ignore_Loaded_File);
    Fill_If_Null(Find_Database_Callback, &Find_No_Database);
}

void TestHandInsStruct::Silent_Notice(const char*, const char*) {}

void TestHandInsStruct::Install() const
{
    Init_Perception_DLL(Token_Converter, Bind_Token_Callback, Evaluate_Token_Callback, Evaluate_Notify_Callback,
                        Random_Float_Callback, Allocate_Callback, Skip_File_Callback, File_Loaded_Callback,
                        Find_Database_Callback, Set_State_Value_Method, Reset_State_Method, File_Manager, Host_Flag);
    Set_Notice_Handler(Notice_Handler != nullptr ? Notice_Handler : &Silent_Notice);
}

void TestHandInsStruct::Uninstall()
{
    Init_Perception_DLL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr);
    Set_Notice_Handler(nullptr);
}

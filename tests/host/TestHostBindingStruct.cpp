#include "TestHostBindingStruct.h"

namespace {

void Silent_Notice(const char*, const char*) {}

}  // namespace

void TestHostBindingStruct::Install() const
{
    Init_Perception_DLL(Token_Converter, Bind_Token_Callback, Evaluate_Token_Callback, Evaluate_Notify_Callback,
                        Random_Float_Callback, Allocate_Callback, Skip_File_Callback, File_Loaded_Callback,
                        Find_Database_Callback, Set_State_Value_Method, Reset_State_Method, File_Manager, Host_Flag);
    Set_Notice_Handler(Notice_Handler != nullptr ? Notice_Handler : &Silent_Notice);
}

void TestHostBindingStruct::Uninstall()
{
    Init_Perception_DLL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr);
    Set_Notice_Handler(nullptr);
}

#ifndef COGNEXA_HOST_HAND_INS_H
#define COGNEXA_HOST_HAND_INS_H

#include <cognexa/DatabaseUIntConversionClass.h>
#include <cognexa/DynamicEnumConversionClass.h>
#include <cognexa/Export.h>
#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionTokenType.h>

#include <string>

class PerceptionFunctionClass;
class MegaFileManagerClass;

// The thirteen hand-ins of the host, in the order Init_Perception_DLL takes them.
typedef DynamicEnumConversionClass<PerceptionTokenType> TokenConverterType;
typedef bool (*BindTokenCallbackType)(PerceptionContextClass*, PerceptionTokenType, PerceptionTokenType);
typedef bool (*EvaluateTokenCallbackType)(const PerceptionContextClass*, PerceptionEvaluationStateClass&, float&);
typedef void (*EvaluateNotifyCallbackType)(const PerceptionContextClass&, const PerceptionFunctionClass&);
typedef float (*RandomFloatCallbackType)(float, float);
typedef void* (*AllocateCallbackType)(unsigned int);
typedef bool (*SkipFileCallbackType)(const std::string&);
typedef void (*FileLoadedCallbackType)(const std::string&);
typedef const DatabaseUIntConversionClass* (*FindDatabaseCallbackType)(const std::string&);
typedef bool (PerceptionEvaluationStateClass::*SetStateValueMethodType)(PerceptionTokenType, float);
typedef void (PerceptionEvaluationStateClass::*ResetStateMethodType)();

// Stores the host's hand-ins module-wide; a later call replaces all of them. None is checked
// for null: the host hands in everything that the operations it uses will call.
COGNEXA_API void Init_Perception_DLL(TokenConverterType* token_converter,
                                     BindTokenCallbackType bind_token_callback,
                                     EvaluateTokenCallbackType evaluate_token_callback,
                                     EvaluateNotifyCallbackType evaluate_notify_callback,
                                     RandomFloatCallbackType random_float_callback,
                                     AllocateCallbackType allocate_callback,
                                     SkipFileCallbackType skip_file_callback,
                                     FileLoadedCallbackType file_loaded_callback,
                                     FindDatabaseCallbackType find_database_callback,
                                     SetStateValueMethodType set_state_value_method,
                                     ResetStateMethodType reset_state_method,
                                     MegaFileManagerClass* file_manager,
                                     bool* host_flag);

#endif

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

// Answers one token for many lanes at once: states[i] is exactly the state the per-lane
// Evaluate_Token_Callback would get for lane i (its context, the token path, the bound values set
// through Set_State_Value_Method); values[i] arrives as 0.0f and succeeded[i] as false. A lane
// whose succeeded[i] stays false fails as if the per-lane callback had returned false. All states
// of one call are for the same token: the same token path and the same bound parameters; only
// the contexts and the bound values differ.
typedef void (*EvaluateTokensCallbackType)(PerceptionEvaluationStateClass* const* states, int count, float* values,
                                           bool* succeeded);

// Registers the optional bulk token hand-in of the many-context evaluation. Null (the default)
// makes the many-context path call the per-lane hand-ins. Init_Perception_DLL leaves it as it is.
COGNEXA_API void Set_Evaluate_Tokens_Callback(EvaluateTokensCallbackType callback);

// Per-thread set-up for the host's worker threads: gives the calling thread the rounding mode that
// evaluation uses on the loading thread (round toward zero), so every thread computes the same bits.
COGNEXA_API void Init_Perception_Thread();

#endif

#include "foundation/TheHostBinding.h"

#include "foundation/RoundingMode.h"

#include <atomic>

HostBindingStruct TheHostBinding;

namespace {

bool Host_Has_Bound = false;

// Atomic: a host may set it while other threads evaluate.
std::atomic<EvaluateTokensCallbackType> TheEvaluateTokensCallback{nullptr};

}  // namespace

void Init_Perception_DLL(TokenConverterType* token_converter,
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
                         bool* host_flag)
{
    TheHostBinding = HostBindingStruct{token_converter,      bind_token_callback,   evaluate_token_callback,
                                       evaluate_notify_callback, random_float_callback, allocate_callback,
                                       skip_file_callback,   file_loaded_callback,  find_database_callback,
                                       set_state_value_method, reset_state_method,  file_manager,
                                       host_flag};
    // Only the first call: a host that sets another mode later keeps it, as it would after load.
    if (!Host_Has_Bound) {
        Restore_Rounding_Lost_At_Program_Start();
        Host_Has_Bound = true;
    }
}

void Set_Evaluate_Tokens_Callback(EvaluateTokensCallbackType callback)
{
    TheEvaluateTokensCallback.store(callback, std::memory_order_release);
}

EvaluateTokensCallbackType Evaluate_Tokens_Callback()
{
    return TheEvaluateTokensCallback.load(std::memory_order_acquire);
}

void Init_Perception_Thread()
{
    Set_Evaluation_Rounding_On_This_Thread();
}

#include "platform/launcher/CanberraSoundBackendClass.h"

#include <canberra.h>

CanberraSoundBackendClass::CanberraSoundBackendClass()
{
    if (ca_context_create(&context_) != CA_SUCCESS) context_ = nullptr;
}

CanberraSoundBackendClass::~CanberraSoundBackendClass()
{
    if (context_ != nullptr) ca_context_destroy(context_);
}

bool CanberraSoundBackendClass::Start(const std::string& path, std::uint32_t id, FinishedFunction finished)
{
    if (context_ == nullptr) return false;
    ca_proplist* properties = nullptr;
    if (ca_proplist_create(&properties) != CA_SUCCESS) return false;
    ca_proplist_sets(properties, CA_PROP_MEDIA_FILENAME, path.c_str());
    // The launcher's sounds are files of the installation, not theme sounds to keep around.
    ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    {
        std::lock_guard<std::mutex> guard(lock_);
        callbacks_[id] = std::move(finished);
    }
    int result = ca_context_play_full(context_, id, properties, On_Finished, this);
    ca_proplist_destroy(properties);
    if (result != CA_SUCCESS) Take_Callback(id);
    return result == CA_SUCCESS;
}

void CanberraSoundBackendClass::On_Finished(ca_context*, std::uint32_t id, int, void* self)
{
    FinishedFunction finished = static_cast<CanberraSoundBackendClass*>(self)->Take_Callback(id);
    if (finished) finished(id);
}

SoundBackendClass::FinishedFunction CanberraSoundBackendClass::Take_Callback(std::uint32_t id)
{
    std::lock_guard<std::mutex> guard(lock_);
    auto found = callbacks_.find(id);
    if (found == callbacks_.end()) return FinishedFunction();
    FinishedFunction finished = std::move(found->second);
    callbacks_.erase(found);
    return finished;
}

void CanberraSoundBackendClass::Cancel(std::uint32_t id)
{
    if (context_ != nullptr) ca_context_cancel(context_, id);
}

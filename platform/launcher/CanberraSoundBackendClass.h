#ifndef VESTIBAR_CANBERRA_SOUND_BACKEND_CLASS_H
#define VESTIBAR_CANBERRA_SOUND_BACKEND_CLASS_H

#include "platform/launcher/SoundBackendClass.h"

#include <map>
#include <mutex>

typedef struct ca_context ca_context;

// Sounds through libcanberra, played by file name and never cached. Without a sound device
// nothing plays and nothing fails.
class CanberraSoundBackendClass : public SoundBackendClass {
public:
    CanberraSoundBackendClass();
    ~CanberraSoundBackendClass() override;
    CanberraSoundBackendClass(const CanberraSoundBackendClass&) = delete;
    CanberraSoundBackendClass& operator=(const CanberraSoundBackendClass&) = delete;

    bool Start(const std::string& path, std::uint32_t id, FinishedFunction finished) override;
    void Cancel(std::uint32_t id) override;

private:
    static void On_Finished(ca_context* context, std::uint32_t id, int error, void* self);
    FinishedFunction Take_Callback(std::uint32_t id);

    ca_context* context_ = nullptr;
    // Reached from libcanberra's own thread.
    std::mutex lock_;
    std::map<std::uint32_t, FinishedFunction> callbacks_;
};

#endif

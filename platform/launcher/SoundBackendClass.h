#ifndef VESTIBAR_SOUND_BACKEND_CLASS_H
#define VESTIBAR_SOUND_BACKEND_CLASS_H

#include <cstdint>
#include <functional>
#include <string>

// A sound service that plays files asynchronously and reports when each sound has ended.
class SoundBackendClass {
public:
    // Called once per started sound, on any thread, when it ended or was cancelled.
    typedef std::function<void(std::uint32_t id)> FinishedFunction;

    virtual ~SoundBackendClass() = default;
    // False when nothing plays (no device, no file); then finished is never called for id.
    virtual bool Start(const std::string& path, std::uint32_t id, FinishedFunction finished) = 0;
    virtual void Cancel(std::uint32_t id) = 0;
};

#endif

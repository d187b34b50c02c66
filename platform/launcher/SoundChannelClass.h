#ifndef VESTIBAR_SOUND_CHANNEL_CLASS_H
#define VESTIBAR_SOUND_CHANNEL_CLASS_H

#include "platform/launcher/SoundBackendClass.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// The launcher's one sound channel with the wave-playing rules the commands rely on: a sound
// that may not interrupt is dropped while another plays; one that may, cancels it; a waiting
// caller returns when its sound has ended.
class SoundChannelClass {
public:
    // longest_wait bounds a wait, so a sound service that never reports the end cannot freeze
    // the launcher.
    SoundChannelClass(SoundBackendClass& backend, std::chrono::milliseconds longest_wait);

    // True when the sound started.
    bool Play(const std::string& path, bool wait, bool interrupt);
    bool Playing() const;

private:
    struct State {
        std::mutex lock;
        std::condition_variable ended;
        bool playing = false;
        std::uint32_t current = 0;
    };

    SoundBackendClass& backend_;
    std::chrono::milliseconds longest_wait_;
    // Shared with the backend's callbacks, which may outlive a cancelled sound.
    std::shared_ptr<State> state_;
    std::uint32_t next_id_ = 0;
};

#endif

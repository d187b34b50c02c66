#include "platform/launcher/SoundChannelClass.h"

SoundChannelClass::SoundChannelClass(SoundBackendClass& backend, std::chrono::milliseconds longest_wait)
    : backend_(backend), longest_wait_(longest_wait), state_(std::make_shared<State>())
{
}

bool SoundChannelClass::Play(const std::string& path, bool wait, bool interrupt)
{
    std::uint32_t playing_id = 0;
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        if (state_->playing && !interrupt) return false;
        if (state_->playing) playing_id = state_->current;
        state_->playing = false;
    }
    // The backend may report the cancelled sound's end from inside Cancel; no lock is held here.
    if (playing_id != 0) backend_.Cancel(playing_id);

    std::uint32_t id = ++next_id_;
    if (id == 0) id = ++next_id_;
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->current = id;
        state_->playing = true;
    }
    std::weak_ptr<State> weak_state = state_;
    bool started = backend_.Start(path, id, [weak_state](std::uint32_t finished_id) {
        std::shared_ptr<State> state = weak_state.lock();
        if (!state) return;
        std::lock_guard<std::mutex> guard(state->lock);
        if (state->current != finished_id) return;
        state->playing = false;
        state->ended.notify_all();
    });

    std::unique_lock<std::mutex> guard(state_->lock);
    if (!started) {
        if (state_->current == id) state_->playing = false;
        return false;
    }
    if (wait) {
        state_->ended.wait_for(guard, longest_wait_, [&] { return !state_->playing || state_->current != id; });
    }
    return true;
}

bool SoundChannelClass::Playing() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->playing;
}

#include "platform/launcher/SoundChannelClass.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

using std::chrono::milliseconds;

// Plays nothing: sounds end when the test says so, or at once on a thread of their own.
class FakeSoundBackend : public SoundBackendClass {
public:
    std::vector<std::string> started;
    std::vector<std::uint32_t> cancelled;
    bool device = true;
    bool end_on_thread = false;  // false: only when Finish is called
    std::atomic<bool> ended_by_thread{false};

    ~FakeSoundBackend() override
    {
        for (std::thread& thread : threads_) thread.join();
    }

    bool Start(const std::string& path, std::uint32_t id, FinishedFunction finished) override
    {
        if (!device) return false;
        started.push_back(path);
        callbacks_[id] = finished;
        if (end_on_thread) {
            threads_.emplace_back([this, id, finished] {
                ended_by_thread = true;
                finished(id);
            });
        }
        return true;
    }
    // As libcanberra does, a cancelled sound reports its end from inside the call.
    void Cancel(std::uint32_t id) override
    {
        cancelled.push_back(id);
        Finish(id);
    }
    void Finish(std::uint32_t id)
    {
        auto found = callbacks_.find(id);
        if (found == callbacks_.end()) return;
        FinishedFunction finished = found->second;
        callbacks_.erase(found);
        finished(id);
    }
    std::uint32_t Last_Id() const { return callbacks_.empty() ? 0 : callbacks_.rbegin()->first; }
    FinishedFunction Callback_Of(std::uint32_t id) const { return callbacks_.at(id); }

private:
    std::map<std::uint32_t, FinishedFunction> callbacks_;
    std::vector<std::thread> threads_;
};

class SoundChannelTest : public ::testing::Test {
protected:
    FakeSoundBackend backend;
    SoundChannelClass channel{backend, milliseconds(2000)};
};

}  // namespace

TEST_F(SoundChannelTest, HoverWhileClickPlaysIsNotHeard)
{
    EXPECT_TRUE(channel.Play("Click.wav", false, true));
    EXPECT_FALSE(channel.Play("Hover.wav", false, false));
    EXPECT_EQ(backend.started, std::vector<std::string>{"Click.wav"});
    EXPECT_TRUE(backend.cancelled.empty());
}

TEST_F(SoundChannelTest, ClickCutsHoverOff)
{
    EXPECT_TRUE(channel.Play("Hover.wav", false, false));
    std::uint32_t hover = backend.Last_Id();
    EXPECT_TRUE(channel.Play("Click.wav", false, true));
    EXPECT_EQ(backend.started, (std::vector<std::string>{"Hover.wav", "Click.wav"}));
    EXPECT_EQ(backend.cancelled, std::vector<std::uint32_t>{hover});
    EXPECT_TRUE(channel.Playing()) << "the cancelled hover's end must not end the click";
}

TEST_F(SoundChannelTest, HoverPlaysAgainOnceTheClickHasEnded)
{
    channel.Play("Click.wav", false, true);
    backend.Finish(backend.Last_Id());
    EXPECT_FALSE(channel.Playing());
    EXPECT_TRUE(channel.Play("Hover.wav", false, false));
}

TEST_F(SoundChannelTest, LateEndOfACutOffSoundDoesNotEndTheNewOne)
{
    channel.Play("Hover.wav", false, false);
    std::uint32_t hover = backend.Last_Id();
    SoundBackendClass::FinishedFunction hover_end = backend.Callback_Of(hover);
    channel.Play("Click.wav", false, true);
    hover_end(hover);  // reported once more, late
    EXPECT_TRUE(channel.Playing());
    EXPECT_FALSE(channel.Play("Hover.wav", false, false));
}

// The bound is far beyond any test run, so only the sound's end can let the wait return; the
// thread reports it as soon as the channel lets it.
TEST_F(SoundChannelTest, WaitReturnsWhenTheSoundHasEnded)
{
    SoundChannelClass patient{backend, std::chrono::hours(1)};
    backend.end_on_thread = true;
    EXPECT_TRUE(patient.Play("Open.wav", true, true));
    EXPECT_TRUE(backend.ended_by_thread);
    EXPECT_FALSE(patient.Playing());
}

// No end is ever reported: the wait returns at its bound, and the sound counts as still playing.
TEST_F(SoundChannelTest, WaitIsBoundedWhenNoEndIsReported)
{
    SoundChannelClass hasty{backend, milliseconds(30)};
    EXPECT_TRUE(hasty.Play("Open.wav", true, true));
    EXPECT_TRUE(hasty.Playing());
    EXPECT_FALSE(hasty.Play("Hover.wav", false, false));
}

TEST_F(SoundChannelTest, NoDevicePlaysNothingAndBlocksNothing)
{
    backend.device = false;
    EXPECT_FALSE(channel.Play("Open.wav", true, true));
    EXPECT_FALSE(channel.Playing());
    backend.device = true;
    EXPECT_TRUE(channel.Play("Hover.wav", false, false));
}

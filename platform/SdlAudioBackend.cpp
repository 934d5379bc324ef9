// SPDX-License-Identifier: GPL-2.0-or-later
#include "SdlAudioBackend.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using Clock = AudioFeed::Clock;

// About 0.1 s (4096 frames at 44.1 kHz, 2048 at 22.05 kHz). SDL's own choice (46 ms)
// made SDL's thread and the sound server wake about 130 and 390 times a second, more
// than all decoding cost. A pause, a seek or a new speed is heard about 0.6 of a
// period after it is made: at 0.19 s that was a quarter of a second, which a learner
// pausing to repeat a phrase notices; at this length it is within a tenth, and the
// output still costs little beside the decoding (docs/performance.md).
constexpr double kPeriodSeconds = 0.1;
constexpr Uint16 kShortestPeriod = 256;
constexpr Uint16 kLongestPeriod = 16384;
// From a callback to the moment its first sample is heard, as a share of the period:
// measured at the monitor of a PulseAudio sink with bench/heard, 0.63 of it at this
// period (0.6 to 0.7 from 46 ms on). Taken a little short, so that a buffer is rather
// given back a few milliseconds after its last sample was heard than before.
constexpr double kHeardShareOfPeriod = 0.62;
// How long closes still under way may hold up the end of the program.
constexpr auto kExitWait = std::chrono::seconds(2);

// SDL's subsystem start and stop and its device list are not safe to change from
// two threads at once; a sound on the UI thread may open while the player thread
// closes.
std::mutex& SdlLock()
{
    static std::mutex lock;
    return lock;
}

SDL_AudioFormat SdlFormat(const AudioFormat& format)
{
    return format.bitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
}

// Ends SDL devices away from the thread that closes them. An SDL device's thread
// sleeps two periods before it ends, so that what it wrote last is played out; a
// server that has stopped answering holds it for as long as it does. Each close runs
// on a thread of its own, so that closes never queue behind each other; opens go on
// meanwhile (in other slots of SDL's table of devices, which holds 16).
class Closer
{
public:
    static Closer& Get()
    {
        // Never destroyed: a close stuck on a server that does not answer must not
        // hold up the end of the program. ExitGuard waits a little for the others.
        static Closer* closer = new Closer;
        return *closer;
    }

    void Close(SDL_AudioDeviceID device)
    {
        {
            std::lock_guard lock(m_lock);
            ++m_closing;
        }
        std::thread(&Closer::Run, this, device).detach();
    }

    // Before an open: waits while so many devices are still closing that SDL's table
    // could run out (a learner skipping through a playlist, a benchmark reopening).
    void WaitForRoom()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_closing < kMostClosing; });
    }

    // At the end of the program: waits for the closes under way, for a while.
    void Finish()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait_for(lock, kExitWait, [this] { return m_closing == 0; });
    }

private:
    static constexpr int kMostClosing = 8;

    void Run(SDL_AudioDeviceID device)
    {
        SDL_CloseAudioDevice(device);
        {
            std::lock_guard sdl(SdlLock());
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        // The last this thread touches: once it is counted out, the program may end.
        std::lock_guard lock(m_lock);
        --m_closing;
        m_changed.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_closing = 0;
};

struct ExitGuard
{
    ~ExitGuard() { Closer::Get().Finish(); }
} g_exitGuard;

}  // namespace

std::unique_ptr<AudioBackend> SdlAudioBackend::Create(const QString& options, std::string& error)
{
    if (!options.isEmpty()) {
        error = "sdl audio: takes no options, not '" + options.toStdString() + "'";
        return nullptr;
    }
    return std::make_unique<SdlAudioBackend>();
}

Uint16 SdlAudioBackend::PeriodFrames(DWORD sampleRate)
{
    const double wanted = kPeriodSeconds * sampleRate;
    Uint16 frames = kShortestPeriod;
    while (frames < kLongestPeriod && frames * 2.0 <= wanted)
        frames *= 2;
    return frames;
}

SdlAudioBackend::~SdlAudioBackend()
{
    Close();
}

bool SdlAudioBackend::Open(const AudioFormat& format, AudioFeed& feed, std::string& error)
{
    Closer::Get().WaitForRoom();
    std::lock_guard lock(SdlLock());
    // Ctrl-C belongs to the program, not to SDL.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.sampleRate);
    wanted.format = SdlFormat(format);
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = PeriodFrames(format.sampleRate);
    wanted.callback = &SdlAudioBackend::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    m_feed = &feed;
    m_lost = false;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (m_device == 0) {
        error = SDL_GetError();
        m_feed = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m_silence = obtained.silence;
    m_heardAfter = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        kHeardShareOfPeriod * static_cast<double>(obtained.samples) / obtained.freq));
    // A device starts playing at once, as soon as anything is queued.
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioBackend::Close()
{
    if (m_device == 0)
        return;
    // Once the lock is held no callback runs, and none that follows touches the feed.
    SDL_LockAudioDevice(m_device);
    m_feed = nullptr;
    SDL_UnlockAudioDevice(m_device);
    Closer::Get().Close(m_device);
    m_device = 0;
}

void SdlAudioBackend::Pause()
{
    std::lock_guard lock(SdlLock());
    if (m_device != 0)
        SDL_PauseAudioDevice(m_device, 1);
}

void SdlAudioBackend::Resume()
{
    std::lock_guard lock(SdlLock());
    if (m_device != 0)
        SDL_PauseAudioDevice(m_device, 0);
}

void SdlAudioBackend::Callback(void* self, Uint8* stream, int length)
{
    static_cast<SdlAudioBackend*>(self)->Fill(stream, static_cast<std::size_t>(length));
}

void SdlAudioBackend::Fill(Uint8* stream, std::size_t length)
{
    std::size_t got = 0;
    if (m_feed != nullptr && !m_lost) {
        // A lost device goes on being called back; what it is given is dropped.
        if (SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED) {
            m_lost = true;
            m_feed->DeviceLost(std::string("The ") + SDL_GetCurrentAudioDriver() +
                               " sound output went away while it played.");
        } else {
            got = m_feed->Read(stream, length, Clock::now() + m_heardAfter, 1.0);
            m_feed->CompleteHeard();
        }
    }
    std::memset(stream + got, m_silence, length - got);
}

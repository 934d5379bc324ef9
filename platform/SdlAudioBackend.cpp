#include "SdlAudioBackend.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <mutex>

namespace {

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

}  // namespace

SdlAudioBackend::~SdlAudioBackend()
{
    Close();
}

bool SdlAudioBackend::Open(const AudioFormat& format, AudioFeed& feed, std::string& error)
{
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
    wanted.samples = 0;   // SDL chooses a buffer size that suits the rate
    wanted.callback = &SdlAudioBackend::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    m_feed = &feed;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (m_device == 0) {
        error = SDL_GetError();
        m_feed = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m_silence = obtained.silence;
    // What the callback hands over is heard about one device buffer later.
    m_latency = std::chrono::duration_cast<AudioFeed::Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(obtained.samples) / obtained.freq));
    // A device starts playing at once, as soon as anything is queued.
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioBackend::Close()
{
    if (m_device == 0)
        return;
    std::lock_guard lock(SdlLock());
    // Waits for a running callback; none follows.
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    m_feed = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
    auto* backend = static_cast<SdlAudioBackend*>(self);
    const std::size_t wanted = static_cast<std::size_t>(length);
    const auto heardFrom = AudioFeed::Clock::now() + backend->m_latency;
    const std::size_t got = backend->m_feed->Read(stream, wanted, heardFrom, 1.0);
    std::memset(stream + got, backend->m_silence, wanted - got);
    backend->m_feed->CompleteHeard();
}

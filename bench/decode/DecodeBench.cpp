// SPDX-License-Identifier: GPL-2.0-or-later
// Times three decoders over one whole MP3 file and prints the processor seconds each
// spends per hour of audio, and its speed in times real time:
//   fill    CMp3Decoder::Fill into one 16 KiB buffer, as the output pumps it
//   libmad  a bare libmad decode and synthesis loop over the file held in memory
//   libmad16  the same loop with the plainest 16-bit output (rounding, no dither)
//   mpg123  libmpg123 decoding the same file to 16-bit PCM
// Usage: decode_bench FILE.mp3 [ROUNDS]. The best of ROUNDS (default 3) counts. Times
// are the thread's processor time, so other load on the machine disturbs them less.

#include "Mp3Decoder.h"

#include <mad.h>
#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

namespace {

constexpr std::uint32_t kBufferBytes = 16384;
constexpr int kDefaultRounds = 3;
constexpr double kSecondsPerHour = 3600;
constexpr std::size_t kLargestBlock = sizeof(mad_pcm::samples[0]) / sizeof(mad_fixed_t);

// Keeps the converted samples from being optimised away.
volatile int g_sink = 0;

struct Run
{
    double seconds = 0;        // wall time of the decode
    double audioSeconds = 0;   // what it decoded
};

using Decode = std::function<bool(Run&)>;

// Processor time of the calling thread, in seconds.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

bool FillAll(const char* path, Run& run)
{
    CMp3Decoder decoder;
    if (!decoder.Open(QString::fromLocal8Bit(path)))
        return false;
    TrackInfo info;
    decoder.GetTrackInfo(&info);
    const unsigned frameBytes = info.stereo ? 4 : 2;
    std::vector<char> buffer(kBufferBytes);
    std::uint64_t frames = 0;
    const double start = CpuSeconds();
    for (;;) {
        std::uint32_t bytes = kBufferBytes;
        const bool more = decoder.Fill(buffer.data(), &bytes);
        frames += bytes / frameBytes;
        if (!more)
            break;
    }
    run.seconds = CpuSeconds() - start;
    run.audioSeconds = double(frames) / info.sampleRate;
    return frames > 0;
}

// The plainest 16-bit output a libmad player can have: round, clip, drop the fraction.
std::int16_t Rounded(mad_fixed_t sample)
{
    constexpr int kDroppedBits = MAD_F_FRACBITS + 1 - 16;
    sample += mad_fixed_t(1) << (kDroppedBits - 1);
    sample = std::clamp<mad_fixed_t>(sample, -MAD_F_ONE, MAD_F_ONE - 1);
    return std::int16_t(sample >> kDroppedBits);
}

// Writes the block as interleaved 16-bit samples into one reused buffer, as a player
// would before handing it to the device.
void ConvertRounded(const mad_pcm& pcm, std::vector<std::int16_t>& out)
{
    const mad_fixed_t* left = pcm.samples[0];
    const mad_fixed_t* right = pcm.channels > 1 ? pcm.samples[1] : left;
    for (unsigned i = 0; i < pcm.length; ++i) {
        out[2 * i] = Rounded(left[i]);
        out[2 * i + 1] = Rounded(right[i]);
    }
}

bool BareLibmad(const std::vector<unsigned char>& file, bool convert, Run& run)
{
    std::vector<std::int16_t> pcm16(2 * kLargestBlock);
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
    std::uint64_t frames = 0;
    unsigned rate = 0;
    const double start = CpuSeconds();
    mad_stream_buffer(&stream, file.data(), file.size());
    for (;;) {
        if (mad_frame_decode(&frame, &stream) == -1) {
            if (MAD_RECOVERABLE(stream.error))
                continue;
            break;
        }
        mad_synth_frame(&synth, &frame);
        if (convert) {
            ConvertRounded(synth.pcm, pcm16);
            g_sink = g_sink + pcm16[0];
        }
        frames += synth.pcm.length;
        rate = synth.pcm.samplerate;
    }
    run.seconds = CpuSeconds() - start;
    mad_synth_finish(&synth);
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
    run.audioSeconds = rate ? double(frames) / rate : 0;
    return frames > 0;
}

bool Mpg123(const char* path, Run& run)
{
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return false;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    std::vector<unsigned char> buffer(kBufferBytes);
    std::uint64_t bytes = 0;
    long rate = 0;
    int channels = 0;
    const double start = CpuSeconds();
    if (mpg123_open(handle, path) == MPG123_OK) {
        int result = MPG123_OK;
        do {
            std::size_t done = 0;
            result = mpg123_read(handle, buffer.data(), buffer.size(), &done);
            bytes += done;
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        int encoding = 0;
        mpg123_getformat(handle, &rate, &channels, &encoding);
        mpg123_close(handle);
    }
    run.seconds = CpuSeconds() - start;
    mpg123_delete(handle);
    run.audioSeconds = rate && channels ? double(bytes) / (2.0 * channels * rate) : 0;
    return bytes > 0;
}

// Times real time of the fastest of the rounds; 0 when the decode failed.
double Best(const Decode& decode, int rounds)
{
    double best = 0;
    for (int i = 0; i < rounds; ++i) {
        Run run;
        if (!decode(run) || run.seconds <= 0)
            return 0;
        best = std::max(best, run.audioSeconds / run.seconds);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.mp3 [ROUNDS]\n", argv[0]);
        return 2;
    }
    const char* path = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRounds;

    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.resize(file.size() + MAD_BUFFER_GUARD, 0);   // so the last frame decodes
    mpg123_init();

    const double fill = Best([&](Run& run) { return FillAll(path, run); }, rounds);
    const double libmad = Best([&](Run& run) { return BareLibmad(file, false, run); }, rounds);
    const double libmad16 = Best([&](Run& run) { return BareLibmad(file, true, run); }, rounds);
    const double mpg123 = Best([&](Run& run) { return Mpg123(path, run); }, rounds);
    if (fill == 0 || libmad == 0 || libmad16 == 0 || mpg123 == 0) {
        std::fprintf(stderr, "%s: a decoder failed on %s\n", argv[0], path);
        return 1;
    }
    // Processor seconds spent per hour of audio: the cost a listener pays.
    const auto perHour = [](double timesRealTime) { return kSecondsPerHour / timesRealTime; };
    std::printf("fill_cpu_s_per_hour %.2f\n", perHour(fill));
    std::printf("libmad_cpu_s_per_hour %.2f\n", perHour(libmad));
    std::printf("libmad16_cpu_s_per_hour %.2f\n", perHour(libmad16));
    std::printf("mpg123_cpu_s_per_hour %.2f\n", perHour(mpg123));
    std::printf("fill_times_real_time %.1f\n", fill);
    std::printf("libmad_times_real_time %.1f\n", libmad);
    std::printf("mpg123_times_real_time %.1f\n", mpg123);
    std::printf("fill_speed_of_libmad %.3f\n", fill / libmad);
    std::printf("fill_speed_of_libmad16 %.3f\n", fill / libmad16);
    return 0;
}

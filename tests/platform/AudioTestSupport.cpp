#include "AudioTestSupport.h"

#include <QFile>

#include <cstdlib>
#include <thread>

namespace {

void PutLe(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value) : m_name(name)
{
    if (const char* previous = std::getenv(name))
        m_previous = QByteArray(previous);
    setenv(name, value.constData(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        setenv(m_name, m_previous->constData(), 1);
    else
        unsetenv(m_name);
}

WAVEFORMATEX PcmFormat(WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

QByteArray MakeWav(const WAVEFORMATEX& format, const QByteArray& pcm, const QByteArray& extraChunk)
{
    QByteArray out("RIFF");
    PutLe(out, static_cast<quint32>(36 + extraChunk.size() + pcm.size()), 4);
    out.append("WAVEfmt ");
    PutLe(out, 16, 4);
    PutLe(out, format.wFormatTag, 2);
    PutLe(out, format.nChannels, 2);
    PutLe(out, format.nSamplesPerSec, 4);
    PutLe(out, format.nAvgBytesPerSec, 4);
    PutLe(out, format.nBlockAlign, 2);
    PutLe(out, format.wBitsPerSample, 2);
    out.append(extraChunk);
    out.append("data");
    PutLe(out, static_cast<quint32>(pcm.size()), 4);
    out.append(pcm);
    return out;
}

QByteArray Samples16(const std::vector<int>& samples)
{
    QByteArray out;
    for (int sample : samples)
        PutLe(out, static_cast<quint32>(sample) & 0xFFFF, 2);
    return out;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void AudioTest::SetUp()
{
    MessageQueue::CreateForCurrentThread();
    Pending();
}

void AudioTest::TearDown()
{
    MessageQueue::DestroyForCurrentThread();
}

HWAVEOUT AudioTest::Open(const WAVEFORMATEX& format)
{
    HWAVEOUT device = nullptr;
    const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD);
    EXPECT_EQ(result, MMSYSERR_NOERROR) << WaveOutLastOpenError();
    return device;
}

void AudioTest::Close(HWAVEOUT device, std::vector<WAVEHDR>& headers)
{
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    for (WAVEHDR& header : headers)
        EXPECT_EQ(waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

std::vector<WAVEHDR> AudioTest::Headers(HWAVEOUT device, QByteArray& data, int count)
{
    std::vector<WAVEHDR> headers(static_cast<std::size_t>(count));
    const auto slice = static_cast<DWORD>(data.size() / count);
    for (int i = 0; i < count; ++i) {
        WAVEHDR& header = headers[static_cast<std::size_t>(i)];
        header.lpData = data.data() + i * slice;
        header.dwBufferLength = slice;
        EXPECT_EQ(waveOutPrepareHeader(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    return headers;
}

std::vector<Message> AudioTest::WaitForDone(std::size_t count, std::chrono::milliseconds timeout)
{
    std::vector<Message> done;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    MessageQueue* queue = MessageQueue::ForCurrentThread();
    for (Message msg; done.size() < count && std::chrono::steady_clock::now() < deadline;) {
        if (!queue->Peek(msg))
            std::this_thread::sleep_for(1ms);
        else if (msg.message == MM_WOM_DONE)
            done.push_back(msg);
    }
    return done;
}

std::vector<Message> AudioTest::Pending()
{
    std::vector<Message> messages;
    for (Message msg; MessageQueue::ForCurrentThread()->Peek(msg);)
        messages.push_back(msg);
    return messages;
}

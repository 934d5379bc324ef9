#pragma once
// Writes what would be played to a WAV file, for tests and demonstrations. The
// header is brought up to date after every chunk, so the file is a valid WAV file
// whenever a buffer completes. Within one process later opens with the same path
// and format append to the file, so a playlist played track by track ends up as
// one capture; another format starts the file again.

#include "AudioBackend.h"
#include "AudioPump.h"

#include <QFile>
#include <QString>

class WavAudioBackend final : public AudioBackend
{
public:
    // speed 0: as fast as the file takes it; otherwise paced at that multiple of
    // real time.
    WavAudioBackend(const QString& path, double speed);
    ~WavAudioBackend() override;

    bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) override;
    void Close() override;
    void Pause() override {}
    void Resume() override { m_pump.Wake(); }
    void Wake() override { m_pump.Wake(); }

private:
    void Append(const std::uint8_t* pcm, std::size_t size);

    QString m_path;
    double m_speed;
    QFile m_file;
    AudioFormat m_format;
    quint64 m_generation = 0;   // which start of the file this backend writes to
    AudioPump m_pump;
};

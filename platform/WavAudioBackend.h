// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Writes what would be played to a WAV file, for tests and demonstrations. The
// header is brought up to date after every chunk, so the file is a valid WAV file
// whenever a buffer completes. Within one process later opens with the same path
// and format append to the file, so a playlist played track by track ends up as
// one capture; another format starts the file again. Setting: "wav:PATH[:SPEED]", as
// fast as the file takes it when no speed is given.

#include "PumpedAudioBackend.h"

#include <QFile>
#include <QString>

#include <memory>

class WavAudioBackend final : public PumpedAudioBackend
{
public:
    // speed 0: as fast as the file takes it; otherwise paced at that multiple of
    // real time.
    WavAudioBackend(const QString& path, double speed) : PumpedAudioBackend(speed), m_path(path) {}
    ~WavAudioBackend() override { Close(); }

    static std::unique_ptr<AudioBackend> Create(const QString& options, std::string& error);

private:
    bool Prepare(const AudioFormat& format, std::string& error) override;
    void Sink(const std::uint8_t* pcm, std::size_t size) override;
    void Finish() override { m_file.close(); }

    QString m_path;
    QFile m_file;
    quint64 m_generation = 0;   // which start of the file this backend writes to
};

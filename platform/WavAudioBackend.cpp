// SPDX-License-Identifier: GPL-2.0-or-later
#include "WavAudioBackend.h"

#include "LittleEndian.h"
#include "WavFile.h"

#include <QFileInfo>

#include <mutex>

namespace {

// What this process has written to the capture file so far. Every device writing
// to it goes through here, so two devices open at once (a sound over a track)
// still leave a consistent file.
struct CaptureState
{
    std::mutex lock;
    QString path;
    AudioFormat format;
    quint64 dataBytes = 0;
    quint64 generation = 0;
};

CaptureState& Capture()
{
    static CaptureState state;
    return state;
}

bool WriteAt(QFile& file, qint64 at, const QByteArray& bytes)
{
    return file.seek(at) && file.write(bytes) == bytes.size();
}

}  // namespace

// PATH[:SPEED]; a path may hold colons of its own, so only a last part that reads
// as a speed is taken for one.
std::unique_ptr<AudioBackend> WavAudioBackend::Create(const QString& options, std::string& error)
{
    QString path = options;
    double speed = AudioPump::kUnpaced;
    const qsizetype colon = options.lastIndexOf(u':');
    if (colon >= 0 && ParseSpeed(options.mid(colon + 1), speed))
        path = options.left(colon);
    if (path.isEmpty()) {
        error = "wav audio: no file named";
        return nullptr;
    }
    return std::make_unique<WavAudioBackend>(path, speed);
}

bool WavAudioBackend::Prepare(const AudioFormat& format, std::string& error)
{
    CaptureState& capture = Capture();
    {
        std::lock_guard lock(capture.lock);
        const bool append = capture.generation != 0 && capture.path == m_path &&
                            capture.format == format &&
                            QFileInfo(m_path).size() ==
                                WavFile::kHeaderSize + static_cast<qint64>(capture.dataBytes);
        m_file.setFileName(m_path);
        if (append) {
            if (!m_file.open(QIODevice::ReadWrite)) {
                error = m_file.errorString().toStdString();
                return false;
            }
        } else {
            if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate) ||
                !WriteAt(m_file, 0, WavFile::Header(format, 0)) || !m_file.flush()) {
                error = m_file.errorString().toStdString();
                m_file.close();
                return false;
            }
            capture.path = m_path;
            capture.format = format;
            capture.dataBytes = 0;
            ++capture.generation;
        }
        m_generation = capture.generation;
    }
    return true;
}

void WavAudioBackend::Sink(const std::uint8_t* pcm, std::size_t size)
{
    CaptureState& capture = Capture();
    std::lock_guard lock(capture.lock);
    // Another device restarted the file in another format: this one's samples no
    // longer belong in it.
    if (capture.generation != m_generation)
        return;
    const qint64 end = WavFile::kHeaderSize + static_cast<qint64>(capture.dataBytes);
    if (!m_file.seek(end))
        return;
    const qint64 written = m_file.write(reinterpret_cast<const char*>(pcm), static_cast<qint64>(size));
    if (written > 0)
        capture.dataBytes += static_cast<quint64>(written);
    WriteAt(m_file, WavFile::kRiffSizeOffset, LittleEndian::Bytes<quint32>(WavFile::RiffSize(capture.dataBytes)));
    WriteAt(m_file, WavFile::kDataSizeOffset, LittleEndian::Bytes<quint32>(WavFile::DataSize(capture.dataBytes)));
    m_file.flush();
}

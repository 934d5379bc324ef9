// Times the opening of one recording in several forms, each made here from the plain
// file given: the decoder's Open (and the track information the player posts) and
// CRecordingTags, as the program does both when a recording starts. Prints the best
// of ROUNDS in milliseconds and each form's ratio to the plain file measured in the
// same run. Usage: open_bench PLAIN.mp3 [ROUNDS].

#include "Mp3Decoder.h"
#include "RecordingTags.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int kDefaultRounds = 20;
constexpr int kPictureBytes = 2 * 1024 * 1024;
constexpr int kHourCopies = 420;   // of an 8.4 s lesson: about an hour

QByteArray Syncsafe(std::uint32_t n)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[3 - i] = char((n >> (7 * i)) & 0x7F);
    return out;
}

QByteArray BigEndian(std::uint32_t n)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[3 - i] = char((n >> (8 * i)) & 0xFF);
    return out;
}

QByteArray Id3v23(const QByteArray& frames)
{
    return QByteArray("ID3\x03\x00\x00", 6) + Syncsafe(std::uint32_t(frames.size())) + frames;
}

QByteArray Frame(const QByteArray& id, const QByteArray& body)
{
    return id + BigEndian(std::uint32_t(body.size())) + QByteArray(2, '\0') + body;
}

// Noise, as a compressed picture looks to a frame scanner.
QByteArray Picture()
{
    std::mt19937 random(99);
    QByteArray bytes(kPictureBytes, '\0');
    for (char& byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

double BestMs(int rounds, const std::function<void()>& step)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: open_bench PLAIN.mp3 [ROUNDS]\n");
        return 1;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRounds;
    QFile plainFile(QString::fromLocal8Bit(argv[1]));
    if (!plainFile.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray plain = plainFile.readAll();
    QTemporaryDir dir;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path() + "/cache"));

    const QByteArray title = Frame("TIT2", QByteArray("\0At the market", 14));
    QByteArray broken = Id3v23(title);
    broken[13] = char(0x7F);   // a frame claiming far more than the tag holds
    QByteArray hour;
    for (int i = 0; i < kHourCopies; ++i)
        hour += plain;
    const struct
    {
        const char* name;
        QByteArray bytes;
    } forms[] = {
        {"plain", plain},
        {"broken tag", broken + plain},
        {"2 MB cover", Id3v23(title + Frame("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + Picture())) + plain},
        {"an hour", hour},
    };

    std::printf("%-12s %10s %8s %10s %8s\n", "recording", "open ms", "ratio", "tags ms", "ratio");
    double plainOpen = 0;
    double plainTags = 0;
    for (const auto& form : forms) {
        const QString path = dir.path() + "/" + QString::fromLatin1(form.name).replace(' ', '-') + ".mp3";
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(form.bytes) != form.bytes.size())
            return 1;
        out.close();
        const double open = BestMs(rounds, [&] {
            CMp3Decoder decoder;
            TrackInfo info;
            if (decoder.Open(path))
                decoder.GetTrackInfo(&info);
        });
        const double tags = BestMs(rounds, [&] {
            CRecordingTags reader;   // a fresh reader: nothing remembered
            reader.For(path);
        });
        if (plainOpen == 0) {
            plainOpen = open;
            plainTags = tags;
        }
        std::printf("%-12s %10.3f %8.2f %10.3f %8.2f\n", form.name, open, open / plainOpen, tags, tags / plainTags);
    }
    return 0;
}

// SPDX-License-Identifier: GPL-2.0-or-later
// Times the opening of one recording in several forms, each made here from the plain
// file given: the decoder's Open (and the track information the player posts) and
// CRecordingTags, as the program does both when a recording starts. Prints the best
// of ROUNDS in milliseconds and each form's ratio to the plain file measured in the
// same run. Usage: open_bench PLAIN.mp3 [ROUNDS].

#include "Mp3Decoder.h"
#include "RecordingTags.h"
#include "TagBuilder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

constexpr int kDefaultRounds = 20;
constexpr int kPictureBytes = 2 * 1024 * 1024;
constexpr int kHourCopies = 420;   // of an 8.4 s lesson: about an hour

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

    using namespace TagBuilder;
    const QByteArray title = Id3v2Frame(3, "TIT2", TextBody("At the market"));
    QByteArray broken = Id3v2Tag(3, title);
    broken[14] = char(0x7F);   // the frame's size: far more than the tag holds
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
        {"2 MB cover", Id3v2Tag(3, title + Id3v2Frame(3, "APIC", PictureBody("image/jpeg", Picture(kPictureBytes)))) + plain},
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

// SPDX-License-Identifier: GPL-2.0-or-later
// vellumdeck-play [--speed X] FILE: plays a recording (.mp3, .vds) or a playlist (.vdl)
// through the player thread with the audio backend of VELLUMDECK_AUDIO, printing every
// notification as it arrives; at X times its speed (0.5 to 2.0, pitch kept) when asked. Exit status: 0 when playback came to its end,
// 1 on bad usage, 2 when nothing could be played. FILE is a path as a shell takes it,
// relative to the working folder, or a device path ("\My documents\...").

#include "DevicePath.h"
#include "Message.h"
#include "MessageBox.h"
#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "Playlist.h"
#include "QueueMessageTarget.h"
#include "StderrMessageBoxPresenter.h"
#include "TrackInfo.h"
#include "TuneboxThread.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kExitPlayed = 0;
constexpr int kExitUsage = 1;
constexpr int kExitNothingPlayed = 2;

const char* StateName(WPARAM state)
{
    switch (state)
    {
    case PLAYER_ENDED: return "ENDED";
    case PLAYER_PAUSED: return "PAUSED";
    case PLAYER_PLAYING: return "PLAYING";
    case PLAYER_STOPPED: return "STOPPED";
    default: return "UNKNOWN";
    }
}

void PrintLine(const char* format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

// Walks the playlist the way the program's controller does: one item at a time,
// the next one when the thread reports the end of the current one.
class PlaySession
{
public:
    PlaySession(tuneboxThread& thread, QueueMessageTarget& notifications, QStringList playlist)
        : m_thread(thread), m_notifications(notifications), m_playlist(std::move(playlist))
    {
    }

    int Run()
    {
        if (!LoadNextItem())
            return kExitNothingPlayed;
        Message msg;
        while (m_running && m_notifications.Take(msg))
            OnNotification(msg);
        return m_tracksOpened > 0 && !m_stopped ? kExitPlayed : kExitNothingPlayed;
    }

private:
    bool LoadNextItem()
    {
        while (m_next < m_playlist.size())
        {
            const QString& path = m_playlist[m_next++];
            PrintLine("item %lld %s\n", static_cast<long long>(m_next), qPrintable(path));
            if (tuneboxThread::PostOpen(m_thread.m_nThreadID, path)
                && PostThreadMessageW(m_thread.m_nThreadID, WM_PLAYER_PLAY, 0, 0))
                return true;
            std::fprintf(stderr, "vellumdeck-play: the player thread does not answer\n");
            return false;
        }
        return false;
    }

    void OnNotification(const Message& msg)
    {
        switch (msg.message)
        {
        case WM_PLAYER_STATE:
            OnState(msg.wParam);
            break;
        case WM_PLAYER_TOTAL:
            OnTotal(tuneboxThread::TakeTrackInfo(msg.wParam));
            break;
        case WM_PLAYER_POS:
            PrintLine("position %d\n", static_cast<int>(msg.wParam));
            break;
        default:
            break;
        }
    }

    void OnState(WPARAM state)
    {
        PrintLine("state %s\n", StateName(state));
        if (state == PLAYER_STOPPED)
        {
            // The tool never asks for a stop: the thread gave up on the device.
            m_stopped = true;
            m_running = false;
        }
        else if (state == PLAYER_ENDED)
        {
            m_running = LoadNextItem();
        }
    }

    void OnTotal(std::unique_ptr<TrackInfo> info)
    {
        ++m_tracksOpened;
        PrintLine("total duration=%d kbps=%d samplerate=%d stereo=%d sixteenbit=%d\n",
                  info->durationSeconds, info->kbps, info->sampleRate, info->stereo,
                  info->sixteenBit);
    }

    tuneboxThread& m_thread;
    QueueMessageTarget& m_notifications;
    QStringList m_playlist;
    qsizetype m_next = 0;
    int m_tracksOpened = 0;
    bool m_running = true;
    bool m_stopped = false;
};

void FreeLeftNotifications(QueueMessageTarget& notifications)
{
    Message msg;
    while (notifications.Take(msg, 0))
    {
        if (msg.message == WM_PLAYER_TOTAL)
            tuneboxThread::TakeTrackInfo(msg.wParam);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    int tempo = TEMPO_NORMAL;
    if (args.size() == 3 && args[0] == QLatin1String("--speed"))
    {
        bool number = false;
        const double speed = args[1].toDouble(&number);
        tempo = static_cast<int>(std::lround(speed * TEMPO_NORMAL));
        if (!number || tempo < TEMPO_SLOWEST || tempo > TEMPO_FASTEST)
        {
            std::fprintf(stderr, "vellumdeck-play: the speed is a number from 0.5 to 2.0, not %s\n", qPrintable(args[1]));
            return kExitUsage;
        }
        args.remove(0, 2);
    }
    if (args.size() != 1)
    {
        std::fprintf(stderr, "usage: vellumdeck-play [--speed X] FILE   (a .mp3 or .vds recording, or a .vdl playlist;\n"
                             "       X from 0.5 to 2.0, the speed with the pitch kept)\n");
        return kExitUsage;
    }
    // Named as in a shell: relative to the folder the tool runs in.
    const QString path = DevicePath::FromCommandLine(args[0]);
    if (Classify(path) == MEDIA_NOT_PLAYABLE)
    {
        std::fprintf(stderr, "vellumdeck-play: %s is neither a recording (.mp3, .vds) nor a playlist (.vdl)\n",
                     qPrintable(path));
        return kExitUsage;
    }
    QStringList playlist;
    if (!FillPlaylist(&playlist, path) || playlist.isEmpty())
    {
        std::fprintf(stderr, "vellumdeck-play: %s names no recording that exists\n", qPrintable(path));
        return kExitNothingPlayed;
    }

    SetMessageBoxPresenter(std::make_unique<StderrMessageBoxPresenter>());
    QueueMessageTarget notifications;
    tuneboxThread thread;
    thread.m_bAutoDelete = false;
    thread.SetOwner(&notifications);
    if (!thread.CreateThread())
    {
        std::fprintf(stderr, "vellumdeck-play: Fail to create thread\n");
        return kExitNothingPlayed;
    }

    if (tempo != TEMPO_NORMAL)
        PostThreadMessageW(thread.m_nThreadID, WM_PLAYER_TEMPO, WPARAM(tempo), 0);
    const int status = PlaySession(thread, notifications, playlist).Run();
    PostThreadMessageW(thread.m_nThreadID, WM_PLAYER_QUIT, 0, 0);
    thread.WaitForExit();
    FreeLeftNotifications(notifications);
    if (status == kExitNothingPlayed)
        std::fprintf(stderr, "vellumdeck-play: nothing could be played\n");
    return status;
}

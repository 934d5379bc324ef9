// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The user-interface side of the player. It owns the playlist and the player thread,
// turns the panel's buttons, the seek slider and the File Open command into thread
// commands, and turns the thread's notifications (handed on by the view) into the
// seek slider's range and position and the two time texts. It also decides what
// follows the end of a track: the next item, or the list again. The A-B loop and
// repeat-one act on the sample that is heard, so the player thread keeps them: the
// controller asks for them and learns where the points fell. User-interface thread
// only.

#include "Win32Defs.h"

#include "PlayerMessages.h"
#include "TrackInfo.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class PlayerView;
class QAbstractSlider;
class QObject;
class tuneboxThread;

class CPlayerController
{
public:
    static constexpr int kNoLoopPoint = -1;
    static constexpr int kSeekLineSize = 5;              // seconds per step back/forward
    static constexpr int kPreviousRestartsAt = 4;        // seconds into a track
    static constexpr int kKeepAliveAfter = 30;           // a keep-alive follows the notice after this many
    static constexpr int kLoopPointA = 0;                // SetLoopPoint kinds
    static constexpr int kLoopPointB = 1;
    static constexpr int kLoopClear = 2;
    static inline const QString kThreadFailureText = QStringLiteral("Fail to create thread");
    static inline const QString kMessageCaption = QStringLiteral("Vellumdeck");

    // Runs the select-file dialog: IDOK with the chosen path, or IDCANCEL.
    using FileDialog = std::function<int(QString* path)>;
    // Stands in for the idle-timer key event (the desktop's keep-awake poke).
    using KeepAlive = std::function<void()>;

    CPlayerController();
    // Ends the player thread (WM_PLAYER_QUIT) and waits for it.
    ~CPlayerController();
    CPlayerController(const CPlayerController&) = delete;
    CPlayerController& operator=(const CPlayerController&) = delete;

    // False when the thread could not be made or started (the user has been told).
    bool Create(PlayerView* view, QAbstractSlider* seekSlider, int posLabelId, int lengthLabelId);
    // Asks the player thread to quit and waits until it has; commands after it post
    // nothing. The destructor does it too.
    void EndThread();
    void ResetDisplay();

    // Both return the path of the item that opened, or nothing when the list came out
    // empty (a playlist naming nothing, a dialog cancelled before anything was open).
    std::optional<QString> OpenWithDialog();
    std::optional<QString> OpenPath(const QString& path);
    void PlayPause();
    void Stop();
    void StepBack();
    void StepForward();
    void SetRepeatTrack(bool repeat);
    // The point is taken by the player thread at the sample that is heard; seconds
    // stands for it until the thread has said where it fell (OnPlayerLoopPoint).
    void SetLoopPoint(int kind, int seconds);
    // Hundredths of the recording's own tempo, TEMPO_SLOWEST to TEMPO_FASTEST.
    void SetTempo(int hundredths);
    int GetTempo() const { return m_tempo; }
    // A pause after each pass of the loop, and the passes before playing goes on.
    void SetShadowing(bool pauseAfterPass, int passes);
    QString NextItem();
    QString PreviousItem();
    // The path of the current item; empty when nothing is open.
    QString GetTitle() const { return m_title; }
    // The player state the thread reported last (0 before its first report). The
    // controller keeps the program's only copy; the view and the media controls read
    // it here.
    int GetState() const { return m_state; }
    // Playing or paused, by that state: the thread has a recording open.
    bool IsOpen() const;

    void OnPlayerState(int state);
    void OnPlayerTotal(std::unique_ptr<TrackInfo> info);
    void OnPlayerPos(int seconds);
    // Where a loop point fell, or that the loop ended (its passes were done).
    void OnPlayerLoopPoint(int kind, int milliseconds);
    void OnSliderScroll(WORD code, const QObject* scrollBar);

    // "hh:mm:ss"; hours are not wrapped.
    static QString FormatTime(int seconds);

    // Flags the view writes directly.
    bool m_loopEnabled = false;
    bool m_repeatTrack = false;
    bool m_repeatList = false;

    // ---- for tests and tools ----
    // Commands go to this thread id instead of the controller's own thread.
    void SetCommandThreadId(DWORD threadId) { m_commandThreadId = threadId; }
    DWORD CommandThreadId() const;
    void SetFileDialog(FileDialog dialog) { m_fileDialog = std::move(dialog); }
    void SetKeepAlive(KeepAlive keepAlive) { m_keepAlive = std::move(keepAlive); }
    int GetCurrentIndex() const { return m_currentIndex; }
    const QStringList& GetPlaylist() const { return m_playlist; }
    bool IsPlaying() const { return m_playing; }
    int GetLoopStart() const { return m_loopStart; }
    int GetLoopEnd() const { return m_loopEnd; }
    int GetLoopStartMs() const { return m_loopStartMs; }
    int GetLoopEndMs() const { return m_loopEndMs; }
    int GetTrackLength() const { return m_trackLength; }
    const TrackInfo& GetTrackInfo() const { return m_trackInfo; }
    bool HasThread() const { return m_thread != nullptr; }

private:
    bool LoadItem();
    QString GetItem(int index) const;
    void ShowTime(int labelId, int seconds);
    // Empties the playlist, fills it from path and starts its first item.
    void FillAndLoad(const QString& path);
    // The current item, when there is one; m_title follows it.
    std::optional<QString> TakeCurrentTitle();
    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SeekTo(int seconds) const;
    int ClampToRange(int seconds) const;
    int SliderPosition() const;   // 0 without a seek slider
    // One line of the seek slider back (direction -1) or forward (+1).
    void Step(int direction);
    // Moves A or B (or clears both) to the point given; false for no such kind.
    bool PlaceLoopPoint(int kind, int milliseconds);
    void CountKeepAlive();

    std::unique_ptr<tuneboxThread> m_thread;
    int m_state = 0;
    TrackInfo m_trackInfo;
    QStringList m_playlist;
    int m_currentIndex = 0;
    // Whether position notices move the seek slider and the position text. Not a copy
    // of m_state: it follows what the learner has just asked for, ahead of the state
    // the thread will report (a drag clears it while the thread still plays).
    bool m_playing = false;
    QAbstractSlider* m_seekSlider = nullptr;
    int m_posLabelId = 0;
    int m_lengthLabelId = 0;
    PlayerView* m_view = nullptr;
    int m_keepAliveCounter = 0;
    bool m_lastItem = false;
    int m_loopStart = kNoLoopPoint;
    int m_loopEnd = kNoLoopPoint;
    int m_loopStartMs = kNoLoopPoint;
    int m_loopEndMs = kNoLoopPoint;
    int m_tempo = TEMPO_NORMAL;
    int m_trackLength = 0;
    QString m_title;

    DWORD m_commandThreadId = 0;
    FileDialog m_fileDialog;
    KeepAlive m_keepAlive;
};

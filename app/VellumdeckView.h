// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's only screen: the study text pane above the player panel (a skin with
// sixteen image buttons, the seek and volume sliders and two time texts). It owns the
// player controller, the bookmarks of the shown text, the pane and the sliders.
//
// Everything is laid out in the device's pixel space (a 240-pixel-wide client area);
// the desktop zoom scales the whole window, so no code here multiplies by it.
//
// The source is split by concern:
//   VellumdeckView.cpp          members, set-up and painting
//   VellumdeckViewCommands.cpp  menu commands: files, study texts, bookmarks, search
//   VellumdeckViewPanel.cpp     buttons, sliders, player notifications, teardown
//   VellumdeckViewDesktop.cpp   the desktop's requests: files handed over or dropped,
//                               media keys

#include "BookmarkList.h"
#include "BookmarkStore.h"
#include "ImgButton.h"
#include "PlayerController.h"
#include "PlayerView.h"
#include "RecordingTags.h"
#include "SkinSlider.h"
#include "StudyEdit.h"
#include "Win32Defs.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CCmdUI;
class QLabel;
class QMenu;
class WidgetMessageTarget;

class CVellumdeckView : public QWidget, public PlayerView
{
public:
    // The image buttons, by their place in m_buttons.
    enum ButtonIndex : int
    {
        BTN_PLAY = 0,
        BTN_PAUSE = 1,
        BTN_STOP = 2,
        BTN_STEP_BACK = 3,
        BTN_STEP_FORWARD = 4,
        BTN_PREVIOUS = 5,
        BTN_NEXT = 6,
        BTN_LOOP_AB = 7,
        BTN_LOOP_OFF = 8,
        BTN_LOOP_A = 9,
        BTN_REPEAT_TRACK_OFF = 10,
        BTN_REPEAT_TRACK_ON = 11,
        BTN_SOUND_OFF = 12,
        BTN_SOUND_ON = 13,
        BTN_REPEAT_LIST_OFF = 14,
        BTN_REPEAT_LIST_ON = 15,
        BUTTON_COUNT = 16,
    };

    // One row of the button table.
    struct ButtonSpec
    {
        int id;
        RECT rect;
        int normalImage;
        int pressedImage;
        int disabledImage;   // 0: none
        bool enabled;        // when created
        bool shown;          // at start
    };
    static const std::array<ButtonSpec, BUTTON_COUNT> kButtons;

    // Client area and back buffer, device pixels.
    static constexpr int kClientWidth = 240;
    static constexpr int kClientHeight = 270;   // the rows the skin covers
    static constexpr int kBackBufferWidth = 240;
    static constexpr int kBackBufferHeight = 320;
    static constexpr QRect kTextPaneRect{3, 3, 231, 202};   // edges 3, 3, 234, 205
    // Where the position and total-time texts are painted.
    static constexpr QPoint kPosTextAt{55, 224};
    static constexpr QPoint kTotalTextAt{137, 224};
    static constexpr COLORREF kTimeTextColor = 0xFFFFFF;
    // The tempo, when it is not the recording's own: between the two times, in place
    // of the skin's slash.
    static constexpr QRect kSpeedTextRect{107, 224, 29, 14};
    static constexpr int kSpeedTextPixels = 10;
    // The panel's rows of the skin: in a larger window they stay at the bottom, centred.
    static constexpr int kPanelTop = 206;

    // Volume: slider positions 0 (top, loudest) to 16, 4095 device units per step.
    static constexpr int kVolumeSteps = 16;
    static constexpr int kVolumePageSize = 2;
    static constexpr int kVolumeUnitsPerStep = 4095;
    static constexpr DWORD kBothChannels = 0x10001;

    // Slider skins (0x00BBGGRR).
    static constexpr COLORREF kSliderThumbColor = 0x0067D0;
    static constexpr COLORREF kSliderChannelColor = 0x35B2FF;
    static constexpr COLORREF kSeekBackgroundColor = 0x993125;
    static constexpr COLORREF kVolumeBackgroundColor = 0xB75158;

    // The study-data folders made at set-up, in order.
    static const std::array<const char16_t*, 4> kDataFolders;

    CVellumdeckView();
    ~CVellumdeckView() override;

    // ---- set-up and painting (VellumdeckView.cpp) ----
    void DoDataExchange();
    // Runs once; a later call (a new document) changes nothing.
    void OnInitialUpdate();
    void OnDraw(QPainter& painter);
    bool IsSetUp() const { return m_setUp; }
    // The first path of a command line of quoted paths: the text after the first double
    // quote, up to the quote that ends the line or stands before the next quoted path (a
    // name may hold quotes of its own), or to the end.
    static QString PathFromCommandLine(const QString& commandLine);

    // ---- commands (VellumdeckViewCommands.cpp) ----
    // The view takes a command before the application does; false when it has no
    // handler for it.
    bool OnCmdMsg(int id);
    // Sets the state of a menu item before its menu opens; false when not the view's.
    bool OnUpdateCmdUI(CCmdUI* cmdUI);
    void OnFileOpen();
    // A recording or playlist from any folder, chosen in the desktop's file dialog.
    void OnOpenFile();
    QString OpenFileFolder() const;
    void OnTextOpen();
    void OnSetBookmark();
    void OnDelBookmark();
    void OnSearch();
    void OnSetting();
    void OnUpdateBookmarkCommands(CCmdUI* cmdUI);
    void OnGoToBookmark(int id);

    // Study texts. Both loads first save and release the current companion.
    BOOL LoadTextFile(const QString& path);
    // The study text stored at the end of a ".vds" recording. A trailer that claims
    // more than the file holds is refused; the pane then keeps what it shows.
    BOOL LoadEmbeddedText(const QString& path);
    // The embedded text of a ".vds", else the ".txt" beside the recording, else the logo.
    void LoadStudyTextOf(const QString& recording);
    // A recording that starts playing brings its own study text and bookmarks, unless
    // they were loaded for it already (a resume, a repeat, what an open has just shown).
    void FollowStudyTextOf(const QString& recording);
    // The file whose study text belongs to a recording (the ".vds" itself, else its ".txt").
    static QString CompanionOf(const QString& recording);
    static QString BookmarkFileOf(const QString& companion);
    void ReleaseCompanion();
    void AppendBookmarkMenuItem(const BookmarkEntry& entry);
    void RemoveBookmarkMenuItems();
    void AppendLoadedBookmarkItems();
    // What every open ends with, when a recording opened: its study text, and the
    // panel's buttons. Nothing changes when nothing opened.
    void ShowOpened(const std::optional<QString>& recording);
    // The buttons an open enables: all but pause and the two sound faces.
    void EnablePanelButtons();
    // The "BMark" popup of the frame's menu bar; null without a frame.
    QMenu* BookmarkMenu() const;

    // ---- player panel, notifications, teardown (VellumdeckViewPanel.cpp) ----
    void OnButtonClicked(int id);
    void OnPlayPause();
    void OnStopButton();
    void OnStepBack();
    void OnStepForward();
    void OnPrevious();
    void OnNext();
    void OnLoopAB();
    void OnRepeatTrack();
    void OnSound();
    void OnRepeatList();
    void ResetLoopAndRepeat();
    void OnHScroll(WORD code, int position, QWidget* scrollBar);
    void OnVScroll(WORD code, int position, QWidget* scrollBar);
    LRESULT OnPlayerState(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayerTotal(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayerPos(WPARAM wParam, LPARAM lParam);
    // Where the thread took a loop point, or that the loop's passes are done.
    LRESULT OnPlayerLoopPoint(WPARAM wParam, LPARAM lParam);
    // The seek slider's ticks at the loop's points.
    void ShowLoopTics();
    // Paints the text of a hidden label onto the back buffer at (x, y), over the skin.
    void PaintTimeText(int labelId, const QPoint& at);
    // Runs once, when the frame closes or the view goes away.
    void OnDestroy();
    void ShowButton(int index, bool show);
    // Keyboard focus back to the text pane.
    void FocusTextPane();

    // ---- practice (VellumdeckViewPractice.cpp) ----
    bool OnPracticeCommand(int id);
    bool OnUpdatePracticeCommand(CCmdUI* cmdUI);
    // Hundredths of the recording's own tempo; kept for the next start.
    void SetSpeed(int hundredths);
    int Speed() const { return m_speed; }
    void SetLoopPractice(bool pauseAfterPass, int passes);
    void ApplyPracticeSettings();
    void StepVolume(int steps);
    void PaintSpeedText();
    void SetToolTips();

    // ---- layout (VellumdeckViewLayout.cpp) ----
    // Where a rectangle of the panel's drawing lies in the view (the panel moves down
    // and to the middle in a larger window; the text pane grows).
    QRect PanelToView(const QRect& rect) const;
    QPoint PanelOffset() const { return m_panelOffset; }
    // The frame's size and place as the learner left them; kept at the teardown.
    void RestoreFrameGeometry();
    void StoreFrameGeometry();

    // ---- the desktop's requests (VellumdeckViewDesktop.cpp) ----
    // A command line handed over by a later start: its file is opened as OpenFile does.
    void OpenHandedOverFile(const QString& commandLine);
    // A recording or playlist the desktop names (handed over, dropped on the window,
    // chosen in its file dialog): what plays stops, and the file is opened and played
    // as one named on the program's own command line. A file that cannot be played is
    // named in a message instead, and what plays goes on.
    void OpenFile(const QString& path);
    // True when path names a recording, or a playlist of at least one; otherwise the
    // learner has been told what is wrong with it.
    bool CanOpen(const QString& path);
    // Media keys and the desktop's media controls, through the buttons' own handlers.
    // Play and pause act only when they change something; SeekTo is the seek slider
    // dropped at seconds.
    void OnMediaPlay();
    void OnMediaPause();
    void SeekTo(int seconds);
    // The track open in the player, for the desktop; empty when none.
    QString PlayingPath() const;
    // The tags of the track open in the player (empty texts when none).
    const RecordingTagInfo& PlayingTags();
    // The window's title names the recording that plays, by its tags or its name.
    void ShowRecordingTitle();

    // ---- PlayerView ----
    MessageTarget* PlayerNotifyTarget() override;
    void SetDlgItemText(int id, const QString& text) override;
    void* MessageBoxOwner() override { return this; }
    QString GetDlgItemText(int id) const;

    // ---- inspection (tests) ----
    CIMGButton& Button(int index) { return m_buttons[std::size_t(index)]; }
    CSkinSlider& SeekSlider() { return m_seekSlider; }
    CSkinSlider& VolumeSlider() { return m_volumeSlider; }
    CPlayerController& Controller() { return m_controller; }
    CBookmarkList& Bookmarks() { return m_bookmarks; }
    CStudyEdit& TextPane() { return m_textPane; }
    const QImage& BackBuffer() const { return m_backBuffer; }
    const QString& CompanionPath() const { return m_companionPath; }
    // The state the player thread reported last, as the controller keeps it.
    int PlayerState() const { return m_controller.GetState(); }
    int VolumePosition() const { return m_volumePosition; }
    DWORD SavedVolume() const { return m_savedVolume; }
    int NextBookmarkId() const { return m_nextBookmarkId; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Initial update, one step each.
    void BuildForm();
    void CreateTextPane();
    void CreatePlayerController();
    void SetUpVolume();
    void CreateButtons();
    void SkinSliders();
    void CreateDataFolders();
    void FitFrame();
    void ApplySettings();
    void OpenCommandLineFile();
    void CreateBackBuffer();
    // WM_COMMAND from a control or a menu; WM_HSCROLL / WM_VSCROLL from a slider.
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Rectangles in device pixels, as the tables give them.
    static QRect ToQRect(const RECT& rect);
    // Places the pane, the buttons and the sliders for the view's size.
    void LayOut();
    // The skin around a larger panel: its borders stretched, the panel at the bottom.
    void DrawGrown(QPainter& painter);

    // Owner of the player thread's notifications; outlives the controller's thread.
    std::unique_ptr<WidgetMessageTarget> m_notifyTarget;

    std::array<CIMGButton, BUTTON_COUNT> m_buttons;
    CSkinSlider m_seekSlider;
    CSkinSlider m_volumeSlider;
    CPlayerController m_controller;
    CBookmarkList m_bookmarks;
    CBookmarkStore m_bookmarkStore;   // the lists whose files could not be written stay here
    QImage m_skinBitmap;     // also the skin context: the source that wipes old text
    QImage m_backBuffer;     // at the window's device pixel ratio, so text stays crisp
    CStudyEdit m_textPane;
    QString m_companionPath;
    QString m_studyTextOf;   // the recording whose study text was loaded last
    QString m_lastSearch;
    int m_loopPointsSet = 0;
    int m_repeatTrack = 0;
    DWORD m_savedVolume = 0;
    int m_volumePosition = 0;
    int m_soundOn = 0;
    int m_repeatList = 0;
    int m_nextBookmarkId = 0;

    CRecordingTags m_recordingTags;
    int m_speed = TEMPO_NORMAL;
    bool m_pauseAfterPass = false;
    int m_loopPasses = 0;
    bool m_panelEnabled = false;
    QPoint m_panelOffset{0, 0};
    QRect m_seekSliderHome;     // the sliders' places in the panel's drawing
    QRect m_volumeSliderHome;
    // Time texts that came before the back buffer was made.
    std::vector<std::pair<int, QPoint>> m_unpaintedTimes;
    QLabel* m_posText = nullptr;     // hidden: the controller writes, the view paints
    QLabel* m_totalText = nullptr;
    bool m_setUp = false;
    bool m_destroyed = false;
};

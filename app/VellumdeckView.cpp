// SPDX-License-Identifier: GPL-2.0-or-later
// The main view: its members, the one-time set-up when it is first shown, and painting.

#include "VellumdeckView.h"

#include "ApplyStoredSettings.h"
#include "CommandLine.h"
#include "DialogBuilder.h"
#include "FileSystem.h"
#include "PlayerMessages.h"
#include "ResourceModule.h"
#include "SoftwareVolume.h"
#include "WaveOut.h"
#include "WidgetMessageTarget.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>

const std::array<CVellumdeckView::ButtonSpec, CVellumdeckView::BUTTON_COUNT> CVellumdeckView::kButtons = {{
    {IDC_PLAY, {13, 229, 51, 267}, IDB_PLAY, IDB_PLAY_PRESSED, IDB_PLAY_PRESSED, false, true},
    {IDC_PAUSE, {13, 229, 51, 267}, IDB_PAUSE, IDB_PAUSE_PRESSED, IDB_PAUSE, true, false},
    {IDC_STOP, {52, 246, 68, 262}, IDB_STOP, IDB_STOP_PRESSED, IDB_STOP, false, true},
    {IDC_STEP_BACK, {82, 246, 98, 262}, IDB_STEP_BACK, IDB_STEP_BACK_PRESSED, IDB_STEP_BACK, false, true},
    {IDC_STEP_FORWARD, {101, 246, 117, 262}, IDB_STEP_FORWARD, IDB_STEP_FORWARD_PRESSED, IDB_STEP_FORWARD, false, true},
    {IDC_PREVIOUS, {130, 246, 146, 262}, IDB_PREVIOUS, IDB_PREVIOUS_PRESSED, IDB_PREVIOUS, false, true},
    {IDC_NEXT, {149, 246, 165, 262}, IDB_NEXT, IDB_NEXT_PRESSED, IDB_NEXT, false, true},
    {IDC_LOOP_AB, {179, 246, 195, 262}, IDB_LOOP_AB, IDB_LOOP_AB_PRESSED, IDB_LOOP_AB, false, false},
    {IDC_LOOP_OFF, {179, 246, 195, 262}, IDB_LOOP_OFF, IDB_LOOP_OFF_PRESSED, IDB_LOOP_OFF, false, true},
    {IDC_LOOP_A, {179, 246, 195, 262}, IDB_LOOP_A, IDB_LOOP_A_PRESSED, IDB_LOOP_A, false, false},
    {IDC_REPEAT_TRACK_OFF, {199, 246, 215, 262}, IDB_REPEAT_TRACK_OFF, IDB_REPEAT_TRACK_ON, IDB_REPEAT_TRACK_OFF, false, true},
    {IDC_REPEAT_TRACK_ON, {199, 246, 215, 262}, IDB_REPEAT_TRACK_ON, IDB_REPEAT_TRACK_OFF, IDB_REPEAT_TRACK_OFF, false, false},
    {IDC_SOUND, {204, 210, 213, 237}, IDB_SOUND_OFF, IDB_SOUND_ON, 0, true, false},
    {IDC_SOUND, {204, 210, 213, 237}, IDB_SOUND_ON, IDB_SOUND_OFF, 0, true, true},
    {IDC_REPEAT_LIST_OFF, {218, 246, 234, 262}, IDB_REPEAT_LIST_OFF, IDB_REPEAT_LIST_ON, IDB_REPEAT_LIST_OFF, false, true},
    {IDC_REPEAT_LIST_ON, {218, 246, 234, 262}, IDB_REPEAT_LIST_ON, IDB_REPEAT_LIST_OFF, IDB_REPEAT_LIST_OFF, false, false},
}};

const std::array<const char16_t*, 4> CVellumdeckView::kDataFolders = {
    u"\\My documents\\Vellumdeck Data",
    u"\\Storage Card\\Vellumdeck Data",
    u"\\Storage Card1\\Vellumdeck Data",
    u"\\Storage Card2\\Vellumdeck Data",
};

namespace {

const QString kMyDocuments = QStringLiteral("\\My documents");
// What follows a quoted argument when another one comes after it.
const QString kNextArgument = QStringLiteral(" \"");

}  // namespace

CVellumdeckView::CVellumdeckView()
    : m_notifyTarget(std::make_unique<WidgetMessageTarget>(this)), m_nextBookmarkId(ID_BOOKMARK_FIRST)
{
    // The back buffer covers the whole view; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildForm();
    DoDataExchange();
}

CVellumdeckView::~CVellumdeckView()
{
    OnDestroy();
    // What the player thread posted before it ended is handled now, while the view is
    // whole, rather than dropped with the window's queue: a track's TrackInfo is the
    // receiver's to free.
    m_controller.EndThread();
    QCoreApplication::sendPostedEvents(this, WindowMessageEvent::EventType());
}

QRect CVellumdeckView::ToQRect(const RECT& rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

// The form's four controls, the two sliders being our own skinned ones.
void CVellumdeckView::BuildForm()
{
    DialogBuilder builder;
    const auto bind = [](CSkinSlider* slider) {
        return [slider](const ControlTemplate& control, QWidget* host) -> QWidget* {
            slider->setParent(host);
            slider->SetTrackbarStyle(CSkinSlider::TrackbarStyleOf(control.styles));
            return slider;
        };
    };
    builder.SetFactory(IDC_VOLUME_SLIDER, bind(&m_volumeSlider));
    builder.SetFactory(IDC_SEEK_SLIDER, bind(&m_seekSlider));
    builder.Build(IDD_VELLUMDECK_FORM, this);
}

void CVellumdeckView::DoDataExchange()
{
    m_posText = GetDlgItemAs<QLabel>(this, IDC_POS_TEXT);
    m_totalText = GetDlgItemAs<QLabel>(this, IDC_TOTAL_TEXT);
}

// ---- initial update ----

void CVellumdeckView::OnInitialUpdate()
{
    // A new document asks again; the children, the thread and the buffer exist once.
    if (m_setUp)
        return;
    m_setUp = true;

    CreateTextPane();
    CreatePlayerController();
    SetUpVolume();
    CreateButtons();
    SetToolTips();
    SkinSliders();
    CreateDataFolders();
    FitFrame();
    ApplySettings();
    ApplyPracticeSettings();
    OpenCommandLineFile();
    CreateBackBuffer();
    RestoreFrameGeometry();
}

void CVellumdeckView::CreateTextPane()
{
    m_textPane.Create(this, kTextPaneRect, IDC_TEXT_PANE);
}

void CVellumdeckView::CreatePlayerController()
{
    m_controller.Create(this, &m_seekSlider, IDC_POS_TEXT, IDC_TOTAL_TEXT);
    m_controller.ResetDisplay();
}

void CVellumdeckView::SetUpVolume()
{
    m_soundOn = 1;
    m_savedVolume = 0;
    m_volumePosition = 0;
    m_volumeSlider.SetRange(0, kVolumeSteps, false);
    m_volumeSlider.SetPageSize(kVolumePageSize);
    // The view starts with sound on, whatever an earlier view of this process muted.
    SoftwareVolume::SetMuted(false);
    waveOutGetVolume(nullptr, &m_savedVolume);
    // Position 0 is the top of the slider and the loudest level.
    m_volumePosition = kVolumeSteps - int(LOWORD(m_savedVolume) / kVolumeUnitsPerStep);
    m_volumeSlider.SetPos(m_volumePosition);
}

void CVellumdeckView::CreateButtons()
{
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonSpec& spec = kButtons[i];
        m_buttons[i].Create(nullptr, this, spec.rect, UINT(spec.id), UINT(spec.normalImage),
                            UINT(spec.pressedImage), UINT(spec.disabledImage), spec.enabled, 0);
    }
    // Faces of one toggle share a place; only one of each shows.
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (!kButtons[i].shown)
            m_buttons[i].hide();
    }
}

void CVellumdeckView::SkinSliders()
{
    m_seekSlider.SetThumbBitmaps(IDB_SEEK_THUMB, IDB_SEEK_THUMB_PRESSED);
    m_seekSlider.SetColors(kSliderThumbColor, kSliderChannelColor, kSeekBackgroundColor);
    m_seekSlider.UpdateBackgroundBrush();
    m_volumeSlider.SetThumbBitmaps(IDB_VOLUME_THUMB, IDB_VOLUME_THUMB_PRESSED);
    m_volumeSlider.SetColors(kSliderThumbColor, kSliderChannelColor, kVolumeBackgroundColor);
    m_volumeSlider.UpdateBackgroundBrush();
}

void CVellumdeckView::CreateDataFolders()
{
    // A handheld always has "\My documents"; a desktop's documents folder may not exist
    // yet. Memory cards that are absent stay absent: every failure is ignored.
    if (!FileSystem::Exists(kMyDocuments))
        FileSystem::CreateFolder(kMyDocuments);
    for (const char16_t* folder : kDataFolders)
        FileSystem::CreateFolder(QString::fromUtf16(folder));
}

// The frame fits the form; it may grow from there (the text pane takes the room), never
// shrink below it.
void CVellumdeckView::FitFrame()
{
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    QWidget* frame = window();
    if (frame == this)
        return;
    if (frame->layout() != nullptr)
        frame->layout()->activate();
    frame->adjustSize();
    frame->setMinimumSize(frame->sizeHint());
    frame->resize(frame->sizeHint());
}

void CVellumdeckView::ApplySettings()
{
    ApplyStoredSettings(m_textPane);
}

QString CVellumdeckView::PathFromCommandLine(const QString& commandLine)
{
    const qsizetype open = commandLine.indexOf(QLatin1Char('"'));
    if (open < 0)
        return commandLine.trimmed();
    // A file name may hold a double quote itself: the path's own quote is the one that
    // ends the line or stands before the next quoted argument.
    qsizetype close = commandLine.indexOf(QLatin1Char('"'), open + 1);
    while (close >= 0 && close + 1 < commandLine.size() && !commandLine.mid(close + 1).startsWith(kNextArgument))
        close = commandLine.indexOf(QLatin1Char('"'), close + 1);
    return close < 0 ? commandLine.mid(open + 1) : commandLine.mid(open + 1, close - open - 1);
}

// A recording named on the command line is opened as one the desktop hands over.
void CVellumdeckView::OpenCommandLineFile()
{
    const QString commandLine = CommandLine::GetCommandLineW();
    if (!commandLine.isEmpty())
        OpenFile(PathFromCommandLine(commandLine));
}

void CVellumdeckView::CreateBackBuffer()
{
    m_skinBitmap = GetResourceModule().LoadBitmap(IDB_SKIN).convertToFormat(QImage::Format_RGB32);
    // Held at the window's pixel ratio: the skin is enlarged by whole pixels, and time
    // texts are drawn at the enlarged size, crisp.
    const qreal ratio = devicePixelRatioF();
    m_backBuffer = QImage(QSize(kBackBufferWidth, kBackBufferHeight) * ratio, QImage::Format_RGB32);
    m_backBuffer.setDevicePixelRatio(ratio);
    m_backBuffer.fill(Qt::black);
    if (!m_skinBitmap.isNull()) {
        QPainter painter(&m_backBuffer);
        painter.drawImage(QPoint(0, 0), m_skinBitmap);
    }
    // A recording opened on the command line may have sent its times already, while a
    // message about its study text was up and before there was a buffer to paint on.
    const std::vector<std::pair<int, QPoint>> unpainted = std::move(m_unpaintedTimes);
    m_unpaintedTimes.clear();
    for (const auto& [labelId, at] : unpainted)
        PaintTimeText(labelId, at);
    PaintSpeedText();
}

// ---- painting ----

void CVellumdeckView::OnDraw(QPainter& painter)
{
    if (m_backBuffer.isNull())
        return;
    if (size() == QSize(kClientWidth, kClientHeight))
        painter.drawImage(QPoint(0, 0), m_backBuffer);
    else
        DrawGrown(painter);
}

void CVellumdeckView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnDraw(painter);
}

// ---- window messages ----

bool CVellumdeckView::event(QEvent* event)
{
    if (event->type() != WindowMessageEvent::EventType())
        return QWidget::event(event);
    auto* message = static_cast<WindowMessageEvent*>(event);
    LRESULT result = 0;
    if (OnWindowMessage(message->message, message->wParam, message->lParam, &result))
        message->result = result;
    return true;
}

bool CVellumdeckView::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_PLAYER_STATE:
        *result = OnPlayerState(wParam, lParam);
        return true;
    case WM_PLAYER_TOTAL:
        *result = OnPlayerTotal(wParam, lParam);
        return true;
    case WM_PLAYER_POS:
        *result = OnPlayerPos(wParam, lParam);
        return true;
    case WM_PLAYER_LOOPPOINT:
        *result = OnPlayerLoopPoint(wParam, lParam);
        return true;
    case WM_COMMAND:
        // A control names itself in lParam; menus and accelerators do not.
        if (lParam != 0) {
            if (HIWORD(wParam) == BN_CLICKED)
                OnButtonClicked(LOWORD(wParam));
            return true;
        }
        return OnCmdMsg(LOWORD(wParam));
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<QWidget*>(lParam));
        return true;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<QWidget*>(lParam));
        return true;
    default:
        return false;
    }
}

// ---- what the controller asks of the view ----

MessageTarget* CVellumdeckView::PlayerNotifyTarget()
{
    return m_notifyTarget.get();
}

void CVellumdeckView::SetDlgItemText(int id, const QString& text)
{
    if (auto* label = GetDlgItemAs<QLabel>(this, id))
        label->setText(text);
}

QString CVellumdeckView::GetDlgItemText(int id) const
{
    const auto* label = GetDlgItemAs<QLabel>(this, id);
    return label != nullptr ? label->text() : QString();
}

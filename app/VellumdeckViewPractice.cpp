// SPDX-License-Identifier: GPL-2.0-or-later
// The main view's tools for practice, from the Play menu and the keyboard: every
// button of the panel by a key, the tempo (slower, faster, the recording's own) shown
// beside the times while it is not the recording's own, and the loop's pauses and
// passes. The tempo and the passes are kept with the display settings.

#include "VellumdeckView.h"

#include "CmdUI.h"
#include "MenuBuilder.h"
#include "PlayerMessages.h"
#include "RegSettings.h"
#include "ResourceModule.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kTempoStep = 10;   // hundredths: a tenth of the recording's own tempo
constexpr int kHundredthsPerTenth = 10;
constexpr int kEndlessPasses = 0;

struct PassesChoice
{
    int command;
    int passes;
};
constexpr PassesChoice kPassesChoices[] = {
    {ID_PASSES_ENDLESS, kEndlessPasses}, {ID_PASSES_3, 3}, {ID_PASSES_5, 5}, {ID_PASSES_10, 10}};

// What each button does, for its tooltip, and the command that does it from the keyboard.
struct ButtonHelp
{
    int index;
    const char* text;
    int command;
};
constexpr ButtonHelp kButtonHelp[] = {
    {CVellumdeckView::BTN_PLAY, "Play", ID_PLAY_PAUSE},
    {CVellumdeckView::BTN_PAUSE, "Pause", ID_PLAY_PAUSE},
    {CVellumdeckView::BTN_STOP, "Stop and go back to the start", ID_STOP},
    {CVellumdeckView::BTN_STEP_BACK, "Five seconds back", ID_STEP_BACK},
    {CVellumdeckView::BTN_STEP_FORWARD, "Five seconds on", ID_STEP_FORWARD},
    {CVellumdeckView::BTN_PREVIOUS, "Previous recording (the first starts again)", ID_PREVIOUS},
    {CVellumdeckView::BTN_NEXT, "Next recording", ID_NEXT},
    {CVellumdeckView::BTN_LOOP_OFF, "A-B loop: mark A where you are", ID_LOOP_AB},
    {CVellumdeckView::BTN_LOOP_A, "A-B loop: mark B and loop", ID_LOOP_AB},
    {CVellumdeckView::BTN_LOOP_AB, "A-B loop: end the loop", ID_LOOP_AB},
    {CVellumdeckView::BTN_REPEAT_TRACK_OFF, "Repeat this recording", ID_REPEAT_TRACK},
    {CVellumdeckView::BTN_REPEAT_TRACK_ON, "Stop repeating this recording", ID_REPEAT_TRACK},
    {CVellumdeckView::BTN_SOUND_ON, "Mute", ID_MUTE},
    {CVellumdeckView::BTN_SOUND_OFF, "Sound on", ID_MUTE},
    {CVellumdeckView::BTN_REPEAT_LIST_OFF, "Repeat the playlist", ID_REPEAT_LIST},
    {CVellumdeckView::BTN_REPEAT_LIST_ON, "Stop repeating the playlist", ID_REPEAT_LIST},
};

bool IsPanelCommand(int id)
{
    return id >= ID_PLAY_PAUSE && id <= ID_REPEAT_LIST;
}

// The key of a command, in the desktop's spelling; empty without a table or a key.
QString KeyOf(const std::optional<AcceleratorTable>& keys, int command)
{
    return keys ? AcceleratorKeyText(*keys, command) : QString();
}

QString WithKey(const QString& text, const std::optional<AcceleratorTable>& keys, int command)
{
    const QString key = KeyOf(keys, command);
    return key.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, key);
}

}  // namespace

bool CVellumdeckView::OnPracticeCommand(int id)
{
    switch (id) {
    case ID_PLAY_PAUSE: OnPlayPause(); return true;
    case ID_STOP: OnStopButton(); return true;
    case ID_STEP_BACK: OnStepBack(); return true;
    case ID_STEP_FORWARD: OnStepForward(); return true;
    case ID_PREVIOUS: OnPrevious(); return true;
    case ID_NEXT: OnNext(); return true;
    case ID_LOOP_AB: OnLoopAB(); return true;
    case ID_REPEAT_TRACK: OnRepeatTrack(); return true;
    case ID_REPEAT_LIST: OnRepeatList(); return true;
    case ID_MUTE: OnSound(); return true;
    case ID_VOLUME_UP: StepVolume(-1); return true;   // the top of the slider is loudest
    case ID_VOLUME_DOWN: StepVolume(+1); return true;
    case ID_SPEED_SLOWER: SetSpeed(m_speed - kTempoStep); return true;
    case ID_SPEED_FASTER: SetSpeed(m_speed + kTempoStep); return true;
    case ID_SPEED_NORMAL: SetSpeed(TEMPO_NORMAL); return true;
    case ID_PAUSE_AFTER_PASS: SetLoopPractice(!m_pauseAfterPass, m_loopPasses); return true;
    default: break;
    }
    if (id >= ID_SPEED_FIRST && id <= ID_SPEED_LAST) {
        SetSpeed((id - ID_SPEED_FIRST) * kHundredthsPerTenth);
        return true;
    }
    for (const PassesChoice& choice : kPassesChoices) {
        if (id == choice.command) {
            SetLoopPractice(m_pauseAfterPass, choice.passes);
            return true;
        }
    }
    return false;
}

bool CVellumdeckView::OnUpdatePracticeCommand(CCmdUI* cmdUI)
{
    const int id = cmdUI->m_nID;
    if (IsPanelCommand(id)) {
        // As the panel's buttons: usable once something has been opened.
        cmdUI->Enable(m_panelEnabled);
        if (id == ID_REPEAT_TRACK)
            cmdUI->SetCheck(m_repeatTrack == 1);
        else if (id == ID_REPEAT_LIST)
            cmdUI->SetCheck(m_repeatList == 1);
        return true;
    }
    switch (id) {
    case ID_MUTE:
        cmdUI->SetCheck(m_soundOn == 0);
        return true;
    case ID_VOLUME_UP:
    case ID_VOLUME_DOWN:
        cmdUI->Enable(m_soundOn == 1);
        return true;
    case ID_SPEED_SLOWER:
        cmdUI->Enable(m_speed > TEMPO_SLOWEST);
        return true;
    case ID_SPEED_FASTER:
        cmdUI->Enable(m_speed < TEMPO_FASTEST);
        return true;
    case ID_SPEED_NORMAL:
        cmdUI->Enable(m_speed != TEMPO_NORMAL);
        return true;
    case ID_PAUSE_AFTER_PASS:
        cmdUI->SetCheck(m_pauseAfterPass);
        return true;
    default:
        break;
    }
    if (id >= ID_SPEED_FIRST && id <= ID_SPEED_LAST) {
        cmdUI->SetCheck(m_speed == (id - ID_SPEED_FIRST) * kHundredthsPerTenth);
        return true;
    }
    for (const PassesChoice& choice : kPassesChoices) {
        if (id == choice.command) {
            cmdUI->SetCheck(m_loopPasses == choice.passes);
            return true;
        }
    }
    return false;
}

void CVellumdeckView::StepVolume(int steps)
{
    if (m_soundOn == 0)
        return;
    const int position = std::clamp(m_volumePosition + steps, 0, kVolumeSteps);
    m_volumeSlider.SetPos(position);
    OnVScroll(TB_THUMBPOSITION, position, &m_volumeSlider);
}

void CVellumdeckView::SetSpeed(int hundredths)
{
    const int speed = std::clamp(hundredths, TEMPO_SLOWEST, TEMPO_FASTEST);
    if (speed == m_speed)
        return;
    m_speed = speed;
    m_controller.SetTempo(speed);
    CRegSettings().SetNumber(CRegSettings::kSpeedValue, DWORD(speed));
    PaintSpeedText();
}

void CVellumdeckView::SetLoopPractice(bool pauseAfterPass, int passes)
{
    m_pauseAfterPass = pauseAfterPass;
    m_loopPasses = std::max(passes, kEndlessPasses);
    m_controller.SetShadowing(m_pauseAfterPass, m_loopPasses);
    CRegSettings settings;
    settings.SetNumber(CRegSettings::kPauseAfterPassValue, m_pauseAfterPass ? 1 : 0);
    settings.SetNumber(CRegSettings::kLoopPassesValue, DWORD(m_loopPasses));
}

// What the learner chose last time; a value that cannot be read is the default.
void CVellumdeckView::ApplyPracticeSettings()
{
    CRegSettings settings;
    const int speed = int(settings.QueryNumber(CRegSettings::kSpeedValue).value_or(TEMPO_NORMAL));
    m_speed = TEMPO_NORMAL;
    if (speed >= TEMPO_SLOWEST && speed <= TEMPO_FASTEST && speed != TEMPO_NORMAL) {
        m_speed = speed;
        m_controller.SetTempo(speed);
    }
    m_pauseAfterPass = settings.QueryNumber(CRegSettings::kPauseAfterPassValue).value_or(0) == 1;
    const DWORD passes = settings.QueryNumber(CRegSettings::kLoopPassesValue).value_or(kEndlessPasses);
    m_loopPasses = std::any_of(std::begin(kPassesChoices), std::end(kPassesChoices),
                               [passes](const PassesChoice& c) { return DWORD(c.passes) == passes; })
                       ? int(passes)
                       : kEndlessPasses;
    if (m_pauseAfterPass || m_loopPasses != kEndlessPasses)
        m_controller.SetShadowing(m_pauseAfterPass, m_loopPasses);
}

// "0.7x" between the times instead of the slash; the slash again at the recording's
// own tempo.
void CVellumdeckView::PaintSpeedText()
{
    if (m_backBuffer.isNull())
        return;
    QPainter painter(&m_backBuffer);
    painter.drawImage(kSpeedTextRect.topLeft(), m_skinBitmap, kSpeedTextRect);
    if (m_speed != TEMPO_NORMAL) {
        // The panel's own colour where the slash was.
        painter.fillRect(kSpeedTextRect, m_skinBitmap.pixelColor(kSpeedTextRect.topLeft()));
        QFont small = font();
        small.setPixelSize(kSpeedTextPixels);
        painter.setFont(small);
        painter.setPen(QColor(0xFF, 0xFF, 0xFF));
        const QString text = QString::number(m_speed / 100.0, 'f', 1) +
                             QChar(0x00D7);
        painter.drawText(kSpeedTextRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter.end();
    update(PanelToView(kSpeedTextRect));
}

// Each button says what it does and its key; so do the sliders.
void CVellumdeckView::SetToolTips()
{
    const std::optional<AcceleratorTable> keys = GetResourceModule().LoadAccelerators(IDR_MAINFRAME);
    for (const ButtonHelp& help : kButtonHelp)
        m_buttons[std::size_t(help.index)].setToolTip(WithKey(QString::fromLatin1(help.text), keys, help.command));
    m_seekSlider.setToolTip(QStringLiteral("Where you are in the recording (%1 and %2 step five seconds)")
                                .arg(KeyOf(keys, ID_STEP_BACK), KeyOf(keys, ID_STEP_FORWARD)));
    m_volumeSlider.setToolTip(
        QStringLiteral("Volume (%1 louder, %2 softer)").arg(KeyOf(keys, ID_VOLUME_UP), KeyOf(keys, ID_VOLUME_DOWN)));
}

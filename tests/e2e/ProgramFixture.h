// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs the real program in this process, headless, on a temporary device folder and
// settings file, with message boxes recorded, and drives it as a user would: taps on
// the image buttons, keys on the sliders, menu commands chosen from the menu bar.

#include "CommandLine.h"
#include "MainFrame.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "ResourceModule.h"
#include "ScopedBoxes.h"
#include "ScopedEnv.h"
#include "TempDeviceRoot.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"
#include "WaitFor.h"
#include "resource.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

// Texts in a failure's message as the learner reads them.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class ProgramFixture : public ::testing::Test
{
protected:
    // The sample lesson's files (its playlist names their device paths).
    static inline const QString kLesson1 = QStringLiteral("Lesson 1 - At the cafe.vds");
    static inline const QString kLesson2 = QStringLiteral("Lesson 2 - At the station.mp3");
    static inline const QString kLesson2Text = QStringLiteral("Lesson 2 - At the station.txt");
    static inline const QString kPlaylist = QStringLiteral("Sample lesson.vdl");

    ProgramFixture()
    {
        // Closing the window ends the program, not the test's event loop.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    ~ProgramFixture() override
    {
        m_app.reset();
        CommandLine::SetArguments({});
    }

    // VELLUMDECK_AUDIO for this test ("null:1", "wav:PATH"); before Start.
    void UseAudio(const QByteArray& setting) { qputenv("VELLUMDECK_AUDIO", setting); }

    // files: the program's command line, host paths as main leaves them.
    void Start(const QStringList& files = {})
    {
        CommandLine::SetArguments(files);
        m_app = std::make_unique<CVellumdeckApp>();
        ASSERT_TRUE(m_app->InitInstance());
        ASSERT_NE(m_app->View(), nullptr);
        // Focus moves only within the active window.
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    CMainFrame& Frame() const { return *m_app->MainFrame(); }
    CVellumdeckView& View() const { return *m_app->View(); }

    // ---- the device ----
    void InstallSampleLesson() const
    {
        for (const QString& name : {kLesson1, kLesson2, kLesson2Text, kPlaylist})
            EXPECT_TRUE(WriteFile(Device(name), ReadHostFile(QStringLiteral(VD_SAMPLE_DIR "/") + name))) << name.toStdString();
    }
    QString Device(const QString& name) const { return "\\My documents\\Vellumdeck Data\\Sample lesson\\" + name; }
    QString Host(const QString& devicePath) const { return m_root.Host(devicePath); }
    // The sample playlist, playing its first lesson in real time.
    void StartPlayingLesson()
    {
        UseAudio("null:1");
        InstallSampleLesson();
        Start();
        FileOpen(Device(kPlaylist));
        ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
        ASSERT_TRUE(WaitFor([this] { return View().SeekSlider().GetRangeMax() > 0; }));
    }

    bool WriteFile(const QString& devicePath, const QByteArray& bytes) const { return m_root.WriteFile(devicePath, bytes); }
    QByteArray ReadFile(const QString& devicePath) const { return ReadHostFile(Host(devicePath)); }
    bool Exists(const QString& devicePath) const { return QFileInfo::exists(Host(devicePath)); }
    static QByteArray ReadHostFile(const QString& hostPath)
    {
        QFile file(hostPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A ".vds": the recording's bytes, the text, and the text's length, little-endian.
    static QByteArray MakeVds(const QByteArray& recording, const QByteArray& text)
    {
        QByteArray trailer(4, '\0');
        qToLittleEndian(quint32(text.size()), trailer.data());
        return recording + text + trailer;
    }

    // ---- the user ----
    void Tap(int buttonIndex)
    {
        CIMGButton& button = View().Button(buttonIndex);
        ASSERT_TRUE(button.isVisible()) << "button " << buttonIndex << " is not shown";
        QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    }

    // The item, with its menu brought up to date as when the user opens it.
    QAction* MenuItem(int commandId)
    {
        QAction* action = FindMenuCommand(Frame().GetMenuBar(), commandId);
        if (auto* popup = action ? qobject_cast<QMenu*>(action->parent()) : nullptr)
            Frame().UpdateMenu(popup);
        return action;
    }
    bool IsMenuItemEnabled(int commandId) { return MenuItem(commandId) && MenuItem(commandId)->isEnabled(); }
    bool IsMenuItemChecked(int commandId) { return MenuItem(commandId) && MenuItem(commandId)->isChecked(); }

    // A disabled item cannot be chosen (false then).
    bool ChooseMenu(int commandId)
    {
        if (!IsMenuItemEnabled(commandId))
            return false;
        MenuItem(commandId)->trigger();
        return true;
    }

    // File Open with the select-file dialog answering this device path.
    void FileOpen(const QString& devicePath)
    {
        View().Controller().SetFileDialog([devicePath](QString* path) {
            *path = devicePath;
            return IDOK;
        });
        ASSERT_TRUE(ChooseMenu(ID_FILE_OPEN));
    }

    // The next modal dialog that opens is handed to steps, which must close it. Polls
    // until the dialog's own event loop runs, then acts inside it. Each pending timer
    // holds the poll; the poll itself holds only a weak reference, so it is freed once
    // it has acted.
    void WhenDialogOpens(std::function<void(QDialog*)> steps)
    {
        using Poll = std::function<void()>;
        auto poll = std::make_shared<Poll>();
        *poll = [weak = std::weak_ptr<Poll>(poll), steps = std::move(steps)] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                steps(dialog);
                return;
            }
            if (std::shared_ptr<Poll> self = weak.lock())
                QTimer::singleShot(5, [self] { (*self)(); });
        };
        QTimer::singleShot(0, [poll] { (*poll)(); });
    }

    // The "BMark" popup's bookmark items: (command id, text) in menu order.
    QList<QPair<int, QString>> BookmarkItems() const
    {
        QList<QPair<int, QString>> items;
        for (QAction* action : GetSubMenu(Frame().GetMenuBar(), MENU_BMARK_POPUP_INDEX)->actions()) {
            const int id = MenuCommandOf(action);
            if (id >= ID_BOOKMARK_FIRST && id < ID_SET_BOOKMARK)
                items.append({id, action->text()});
        }
        return items;
    }

    // ---- what the user sees ----
    bool Shown(int buttonIndex) const { return View().Button(buttonIndex).isVisible(); }
    bool WaitForState(int state) const { return WaitFor([this, state] { return View().PlayerState() == state; }); }
    QString PaneText() const { return View().TextPane().toPlainText(); }
    std::vector<RecordingMessageBoxPresenter::Record> Boxes() const { return m_boxes->Records(); }
    QStringList Told() const { return m_boxes->Texts(); }
    // The panel's pixels in rect (the view's units) as drawn, and as the bare skin has them.
    QImage Drawn(const QRect& rect) const { return Region(View().BackBuffer(), rect); }
    QImage Skin(const QRect& rect) const
    {
        const QImage skin = GetResourceModule().LoadBitmap(IDB_SKIN);
        return Region(skin.scaled(skin.size() * View().BackBuffer().devicePixelRatio()), rect);
    }

    TempDeviceRoot m_root;
    // What a test sets of the audio (UseAudio) goes when it ends.
    ScopedEnv m_audio{"VELLUMDECK_AUDIO", qgetenv("VELLUMDECK_AUDIO")};
    ScopedBoxes m_scopedBoxes;
    RecordingMessageBoxPresenter* const m_boxes = m_scopedBoxes.boxes;
    std::unique_ptr<CVellumdeckApp> m_app;

private:
    QImage Region(const QImage& image, const QRect& rect) const
    {
        const qreal ratio = View().BackBuffer().devicePixelRatio();
        return image.copy(QRect(rect.topLeft() * ratio, rect.size() * ratio)).convertToFormat(QImage::Format_RGB32);
    }
};

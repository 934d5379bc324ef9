#pragma once
// Runs the real program in this process, headless, on a temporary device folder and
// settings file, with message boxes recorded, and drives it as a user would: taps on
// the image buttons, keys on the sliders, menu commands chosen from the menu bar.

#include "MainFrame.h"
#include "RecordingMessageBoxPresenter.h"
#include "TempDeviceRoot.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

class QDialog;

class ProgramFixture : public ::testing::Test
{
protected:
    // Where the sample lesson lies on the device (its playlist names these paths).
    static inline const QString kLessonFolder = QStringLiteral("\\My documents\\Vellumdeck Data\\Sample lesson");
    static inline const QString kLesson1 = QStringLiteral("Lesson 1 - At the cafe.vds");
    static inline const QString kLesson2 = QStringLiteral("Lesson 2 - At the station.mp3");
    static inline const QString kLesson2Text = QStringLiteral("Lesson 2 - At the station.txt");
    static inline const QString kPlaylist = QStringLiteral("Sample lesson.vdl");

    ProgramFixture();
    ~ProgramFixture() override;

    // VELLUMDECK_AUDIO for this test ("null:1", "wav:PATH"); before Start.
    void UseAudio(const QByteArray& setting) { qputenv("VELLUMDECK_AUDIO", setting); }
    // Starts the program, optionally with a recording on its command line.
    void Start(const QStringList& arguments = {});

    CMainFrame& Frame() const { return *m_app->MainFrame(); }
    CVellumdeckView& View() const { return *m_app->View(); }

    // ---- the device ----
    // Copies the sample lesson into its folder.
    void InstallSampleLesson() const;
    QString Device(const QString& name) const { return kLessonFolder + QLatin1Char('\\') + name; }
    QString Host(const QString& devicePath) const { return m_root.Host(devicePath); }
    bool WriteFile(const QString& devicePath, const QByteArray& bytes) const { return m_root.WriteFile(devicePath, bytes); }
    QByteArray ReadFile(const QString& devicePath) const { return ReadHostFile(Host(devicePath)); }
    bool Exists(const QString& devicePath) const { return QFileInfo::exists(Host(devicePath)); }
    // A ".vds": the recording's bytes, the text, and the text's length, little-endian.
    static QByteArray MakeVds(const QByteArray& recording, const QByteArray& text);
    static QByteArray ReadHostFile(const QString& hostPath);

    // ---- the user ----
    void Tap(int buttonIndex);
    // Chooses a menu item as the user would: the menu is updated first, and a
    // disabled item cannot be chosen (false then).
    bool ChooseMenu(int commandId);
    bool IsMenuItemEnabled(int commandId);
    // File Open with the select-file dialog answering path (a device path).
    void FileOpen(const QString& devicePath);
    // The next modal dialog that opens is handed to steps, which must close it.
    void WhenDialogOpens(std::function<void(QDialog*)> steps);
    // The "BMark" popup's bookmark items: (command id, text) in menu order.
    QList<QPair<int, QString>> BookmarkItems() const;

    // ---- what the user sees ----
    bool Shown(int buttonIndex) const { return View().Button(buttonIndex).isVisible(); }
    bool WaitFor(const std::function<bool()>& condition) const;
    bool WaitForState(int state) const { return WaitFor([this, state] { return View().PlayerState() == state; }); }
    QString PaneText() const { return View().TextPane().toPlainText(); }
    std::vector<RecordingMessageBoxPresenter::Record> Boxes() const { return m_boxes->Records(); }

    TempDeviceRoot m_root;
    RecordingMessageBoxPresenter* m_boxes = nullptr;
    std::unique_ptr<CVellumdeckApp> m_app;

private:
    QByteArray m_previousAudio;
};

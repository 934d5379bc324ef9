#include "ProgramFixture.h"

#include "CmdUI.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "VellumdeckApp.h"
#include "resource.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

constexpr char kAudioVariable[] = "VELLUMDECK_AUDIO";
constexpr int kPollMs = 5;
constexpr int kTrailerBytes = 4;
constexpr int kBitsPerByte = 8;
constexpr unsigned kByteMask = 0xFF;

}  // namespace

ProgramFixture::ProgramFixture() : m_previousAudio(qgetenv(kAudioVariable))
{
    auto boxes = std::make_unique<RecordingMessageBoxPresenter>();
    m_boxes = boxes.get();
    SetMessageBoxPresenter(std::move(boxes));
    // Closing the window ends the program, not the test's event loop.
    QApplication::setQuitOnLastWindowClosed(false);
}

ProgramFixture::~ProgramFixture()
{
    m_app.reset();
    CommandLine::SetArguments({});
    SetMessageBoxPresenter(nullptr);
    qputenv(kAudioVariable, m_previousAudio);
}

void ProgramFixture::UseAudio(const QByteArray& setting)
{
    qputenv(kAudioVariable, setting);
}

void ProgramFixture::Start(const QStringList& arguments)
{
    CommandLine::SetArguments(arguments);
    m_app = std::make_unique<CVellumdeckApp>();
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_NE(m_app->View(), nullptr);
    // Focus moves only within the active window.
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
}

void ProgramFixture::Close()
{
    Frame().close();
    m_app.reset();
}

CMainFrame& ProgramFixture::Frame() const
{
    return *m_app->MainFrame();
}

CVellumdeckView& ProgramFixture::View() const
{
    return *m_app->View();
}

// ---- the device ----

QString ProgramFixture::SamplePath(const QString& name) const
{
    return QStringLiteral(VD_SAMPLE_DIR "/") + name;
}

QString ProgramFixture::InstallSampleLesson() const
{
    for (const QString& name : {kLesson1, kLesson2, kLesson2Text, kPlaylist})
        EXPECT_TRUE(WriteFile(Device(name), ReadHostFile(SamplePath(name)))) << name.toStdString();
    return kLessonFolder;
}

QByteArray ProgramFixture::ReadHostFile(const QString& hostPath)
{
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ProgramFixture::ReadFile(const QString& devicePath) const
{
    return ReadHostFile(Host(devicePath));
}

bool ProgramFixture::Exists(const QString& devicePath) const
{
    return QFileInfo::exists(Host(devicePath));
}

QByteArray ProgramFixture::MakeVds(const QByteArray& recording, const QByteArray& text)
{
    QByteArray bytes = recording + text;
    const auto length = unsigned(text.size());
    for (int i = 0; i < kTrailerBytes; ++i)
        bytes.append(char((length >> (kBitsPerByte * i)) & kByteMask));
    return bytes;
}

// ---- the user ----

void ProgramFixture::Tap(int buttonIndex)
{
    CIMGButton& button = Button(buttonIndex);
    ASSERT_TRUE(button.isVisible()) << "button " << buttonIndex << " is not shown";
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
}

bool ProgramFixture::IsMenuItemEnabled(int commandId)
{
    QAction* action = FindMenuCommand(Frame().GetMenuBar(), commandId);
    if (action == nullptr)
        return false;
    if (auto* popup = qobject_cast<QMenu*>(action->parent()))
        Frame().UpdateMenu(popup);
    return action->isEnabled();
}

bool ProgramFixture::ChooseMenu(int commandId)
{
    if (!IsMenuItemEnabled(commandId))
        return false;
    FindMenuCommand(Frame().GetMenuBar(), commandId)->trigger();
    return true;
}

void ProgramFixture::FileOpen(const QString& devicePath)
{
    View().Controller().SetFileDialog([devicePath](QString* path) {
        *path = devicePath;
        return IDOK;
    });
    ASSERT_TRUE(ChooseMenu(ID_FILE_OPEN));
}

void ProgramFixture::WhenDialogOpens(std::function<void(QDialog*)> steps)
{
    // Polls until the dialog's own event loop runs, then acts inside it. Each pending
    // timer holds the poll; the poll itself holds only a weak reference, so it is
    // freed once it has acted.
    using Poll = std::function<void()>;
    auto poll = std::make_shared<Poll>();
    *poll = [weak = std::weak_ptr<Poll>(poll), steps = std::move(steps)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            steps(dialog);
            return;
        }
        if (std::shared_ptr<Poll> self = weak.lock())
            QTimer::singleShot(kPollMs, [self] { (*self)(); });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}

QList<QPair<int, QString>> ProgramFixture::BookmarkItems() const
{
    QList<QPair<int, QString>> items;
    QMenu* popup = GetSubMenu(Frame().GetMenuBar(), MENU_BMARK_POPUP_INDEX);
    for (QAction* action : popup->actions()) {
        const int id = MenuCommandOf(action);
        if (id >= ID_BOOKMARK_FIRST && id < ID_SET_BOOKMARK)
            items.append({id, action->text()});
    }
    return items;
}

// ---- what the user sees ----

bool ProgramFixture::Shown(int buttonIndex) const
{
    return Button(buttonIndex).isVisible();
}

bool ProgramFixture::WaitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(kPollMs);
    }
    return true;
}

bool ProgramFixture::WaitForState(int state) const
{
    return WaitFor([this, state] { return View().PlayerState() == state; });
}

bool ProgramFixture::WaitForTitle(const QString& devicePath) const
{
    return WaitFor([this, devicePath] { return View().Controller().GetTitle() == devicePath; });
}

QString ProgramFixture::PaneText() const
{
    return View().TextPane().toPlainText();
}

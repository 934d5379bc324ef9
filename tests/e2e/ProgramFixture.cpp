#include "ProgramFixture.h"

#include "CommandLine.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "resource.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {

constexpr int kWaitMs = 15000;
constexpr int kPollMs = 5;

}  // namespace

ProgramFixture::ProgramFixture() : m_previousAudio(qgetenv("VELLUMDECK_AUDIO"))
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
    qputenv("VELLUMDECK_AUDIO", m_previousAudio);
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

// ---- the device ----

void ProgramFixture::InstallSampleLesson() const
{
    for (const QString& name : {kLesson1, kLesson2, kLesson2Text, kPlaylist})
        EXPECT_TRUE(WriteFile(Device(name), ReadHostFile(QStringLiteral(VD_SAMPLE_DIR "/") + name))) << name.toStdString();
}

QByteArray ProgramFixture::ReadHostFile(const QString& hostPath)
{
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ProgramFixture::MakeVds(const QByteArray& recording, const QByteArray& text)
{
    QByteArray trailer(4, '\0');
    qToLittleEndian(quint32(text.size()), trailer.data());
    return recording + text + trailer;
}

// ---- the user ----

void ProgramFixture::Tap(int buttonIndex)
{
    CIMGButton& button = View().Button(buttonIndex);
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

bool ProgramFixture::WaitFor(const std::function<bool()>& condition) const
{
    QDeadlineTimer deadline(kWaitMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(kPollMs);
    }
    return true;
}

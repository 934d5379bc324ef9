// SPDX-License-Identifier: GPL-2.0-or-later
#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <future>

namespace {

constexpr UINT kDefaultButtonMask = 0x00000F00;
constexpr UINT kDefaultButtonShift = 8;

struct ButtonResult
{
    QMessageBox::StandardButton button;
    int id;
};

// The buttons of each MB_ type, left to right.
std::vector<ButtonResult> ButtonsOf(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Closing the box without a button answers as its Cancel button would; a box without one
// answers with its only button (OK) or its last (No, Ignore).
int EscapeResultOf(UINT flags)
{
    const std::vector<ButtonResult> buttons = ButtonsOf(flags);
    for (const ButtonResult& entry : buttons) {
        if (entry.id == IDCANCEL)
            return IDCANCEL;
    }
    return buttons.back().id;
}

} // namespace

// Answered once: by the box, or by the end of the worker boxes, whichever comes first.
class QtMessageBoxPresenter::WorkerRequest
{
public:
    explicit WorkerRequest(UINT flags) : m_flags(flags) {}

    std::future<int> Answer() { return m_answer.get_future(); }
    // False when the request has been answered already: there is nothing to show.
    bool StartShowing(QMessageBox* box)
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_box = box;
        return !m_answered;
    }
    void Give(int id)
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_answered)
            return;
        m_answered = true;
        m_answer.set_value(id);
    }
    // On the user-interface thread: the request is answered as if its box was closed
    // without a button, and a box shown for it closes.
    void End()
    {
        Give(EscapeResultOf(m_flags));
        QPointer<QMessageBox> box;
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            box = m_box;
        }
        if (box)
            box->reject();
    }

private:
    const UINT m_flags;
    std::mutex m_lock;
    std::promise<int> m_answer;
    bool m_answered = false;
    QPointer<QMessageBox> m_box;
};

QtMessageBoxPresenter::QtMessageBoxPresenter() = default;
QtMessageBoxPresenter::~QtMessageBoxPresenter() = default;

QMessageBox* QtMessageBoxPresenter::CreateBox(QWidget* owner, const QString& text, const QString& caption, UINT flags)
{
    auto* box = new QMessageBox(IconOf(flags), caption, text, QMessageBox::NoButton, owner);
    const std::vector<ButtonResult> buttons = ButtonsOf(flags);
    for (const ButtonResult& entry : buttons)
        box->addButton(entry.button);
    const std::size_t defaultIndex = (flags & kDefaultButtonMask) >> kDefaultButtonShift;
    if (defaultIndex < buttons.size())
        box->setDefaultButton(buttons[defaultIndex].button);
    for (const ButtonResult& entry : buttons) {
        if (entry.id == EscapeResultOf(flags))
            box->setEscapeButton(entry.button);
    }
    return box;
}

int QtMessageBoxPresenter::ResultOf(const QMessageBox& box, UINT flags)
{
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const ButtonResult& entry : ButtonsOf(flags)) {
        if (entry.button == clicked)
            return entry.id;
    }
    return EscapeResultOf(flags);
}

int QtMessageBoxPresenter::ShowModal(QWidget* owner, const QString& text, const QString& caption, UINT flags,
                                     WorkerRequest* request)
{
    std::unique_ptr<QMessageBox> box(CreateBox(owner, text, caption, flags));
    if (request != nullptr && !request->StartShowing(box.get()))
        return EscapeResultOf(flags);
    box->exec();
    return ResultOf(*box, flags);
}

int QtMessageBoxPresenter::Present(void* owner, const QString& text, const QString& caption, UINT flags)
{
    QCoreApplication* app = QCoreApplication::instance();
    // Without a widget application there is nobody to ask: answer as the default button.
    if (qobject_cast<QApplication*>(app) == nullptr) {
        const std::vector<ButtonResult> buttons = ButtonsOf(flags);
        const std::size_t defaultIndex = (flags & kDefaultButtonMask) >> kDefaultButtonShift;
        return buttons[defaultIndex < buttons.size() ? defaultIndex : 0].id;
    }
    auto* ownerWidget = static_cast<QWidget*>(owner);
    if (QThread::currentThread() == app->thread())
        return ShowModal(ownerWidget, text, caption, flags);
    return PresentForWorker(ownerWidget, text, caption, flags);
}

// The box runs on the user-interface thread; this thread waits for its answer, or for
// the end of the worker boxes. The request travels with the call, so it outlives this
// function (and the presenter) whatever the order.
int QtMessageBoxPresenter::PresentForWorker(QWidget* owner, const QString& text, const QString& caption, UINT flags)
{
    auto request = std::make_shared<WorkerRequest>(flags);
    std::future<int> answer = request->Answer();
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_workerBoxesEnded)
            return EscapeResultOf(flags);
        m_waiting.push_back(request);
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [request, owner, text, caption, flags] { request->Give(ShowModal(owner, text, caption, flags, request.get())); },
        Qt::QueuedConnection);
    const int result = answer.get();
    const std::lock_guard<std::mutex> guard(m_lock);
    std::erase(m_waiting, request);
    return result;
}

void QtMessageBoxPresenter::EndWorkerBoxes()
{
    std::vector<std::shared_ptr<WorkerRequest>> waiting;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_workerBoxesEnded = true;
        waiting = m_waiting;
    }
    for (const std::shared_ptr<WorkerRequest>& request : waiting)
        request->End();
}

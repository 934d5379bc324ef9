#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <future>
#include <memory>
#include <vector>

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

int QtMessageBoxPresenter::ShowModal(QWidget* owner, const QString& text, const QString& caption, UINT flags)
{
    std::unique_ptr<QMessageBox> box(CreateBox(owner, text, caption, flags));
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
    // The box runs on the user-interface thread; this thread waits for its answer. The
    // promise travels with the call, so it outlives this function whatever the order.
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> result = answer->get_future();
    QMetaObject::invokeMethod(
        app, [answer, ownerWidget, text, caption, flags] { answer->set_value(ShowModal(ownerWidget, text, caption, flags)); },
        Qt::QueuedConnection);
    return result.get();
}

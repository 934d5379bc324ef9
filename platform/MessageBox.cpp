// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageBox.h"

#include "StderrMessageBoxPresenter.h"

#include <condition_variable>
#include <map>
#include <mutex>

namespace {

// The presenter is called outside the lock (a box may wait a long time, and a GUI
// presenter may carry the call to another thread that shows boxes itself); a swap
// waits until the presenter it replaces has no box open before handing it back.
struct PresenterSlot
{
    std::mutex lock;
    std::condition_variable idle;
    std::unique_ptr<MessageBoxPresenter> current = std::make_unique<StderrMessageBoxPresenter>();
    std::map<MessageBoxPresenter*, int> showing;
};

PresenterSlot& Slot()
{
    static auto* slot = new PresenterSlot;   // outlives boxes shown during exit
    return *slot;
}

// Runs call on the presenter in force, outside the lock: a box may wait a long time,
// and showing or closing one runs the user interface. The presenter is not replaced
// meanwhile.
template <typename Call>
auto WithPresenter(Call call)
{
    PresenterSlot& slot = Slot();
    MessageBoxPresenter* presenter = nullptr;
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        presenter = slot.current.get();
        ++slot.showing[presenter];
    }
    const auto result = call(*presenter);
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        if (--slot.showing[presenter] == 0)
            slot.showing.erase(presenter);
    }
    slot.idle.notify_all();
    return result;
}

}  // namespace

int MessageBoxW(void* owner, const QString& text, const QString& caption, UINT flags)
{
    return WithPresenter([&](MessageBoxPresenter& presenter) { return presenter.Present(owner, text, caption, flags); });
}

void EndWorkerMessageBoxes()
{
    WithPresenter([](MessageBoxPresenter& presenter) {
        presenter.EndWorkerBoxes();
        return true;
    });
}

std::unique_ptr<MessageBoxPresenter> SetMessageBoxPresenter(std::unique_ptr<MessageBoxPresenter> presenter)
{
    if (!presenter)
        presenter = std::make_unique<StderrMessageBoxPresenter>();
    PresenterSlot& slot = Slot();
    std::unique_lock<std::mutex> guard(slot.lock);
    std::unique_ptr<MessageBoxPresenter> previous = std::move(slot.current);
    slot.current = std::move(presenter);
    MessageBoxPresenter* old = previous.get();
    slot.idle.wait(guard, [&slot, old] { return slot.showing.count(old) == 0; });
    return previous;
}

int DefaultMessageBoxResult(UINT flags)
{
    const bool second = (flags & MB_DEFBUTTON2) != 0;
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL: return second ? IDNO : IDYES;
    case MB_YESNO: return second ? IDNO : IDYES;
    case MB_RETRYCANCEL: return second ? IDCANCEL : IDRETRY;
    default: return IDOK;
    }
}

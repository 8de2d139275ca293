#include "toolkit/gui/WMessageBox.h"

#include "toolkit/gui/WWindow.h"
#include "toolkit/gui/qt/QtMessagePresenter.h"

#include <atomic>

namespace {

std::atomic<WMessagePresenter*> g_presenter{nullptr};

WMessagePresenter& presenter() {
    static QtMessagePresenter qtPresenter;
    WMessagePresenter* installed = g_presenter.load();
    return installed ? *installed : qtPresenter;
}

} // namespace

int WMessageBox::show(WWindow* owner, const WString& text, const WString& caption, unsigned flags) {
    WMessageRequest request;
    request.text = text;
    request.caption = caption;
    request.flags = flags;
    // A hidden or disabled owner would leave the box without a window to come back to.
    request.owner = owner && owner->isVisible() && owner->isEnabled() ? owner : nullptr;
    const int result = presenter().present(request);
    return result >= 1 && result <= 9 ? result : ID::OTHER;
}

void WMessagePresenter::install(WMessagePresenter* presenter) {
    g_presenter.store(presenter);
}

WMessagePresenter* WMessagePresenter::installed() {
    return g_presenter.load();
}

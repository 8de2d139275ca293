#include "WMessageBox.h"

#include "QtMessagePresenter.h"
#include "WWindow.h"

namespace {

WMessagePresenter* g_presenter = nullptr;

WMessagePresenter& presenter() {
    static QtMessagePresenter qtPresenter;
    return g_presenter ? *g_presenter : qtPresenter;
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

void WMessageBox::setPresenter(WMessagePresenter* presenter) {
    g_presenter = presenter;
}

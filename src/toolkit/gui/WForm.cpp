#include "toolkit/gui/WForm.h"

#include "toolkit/gui/WAcceleratorTable.h"
#include "toolkit/gui/WFont.h"
#include "toolkit/gui/WMenu.h"
#include "toolkit/gui/WResources.h"
#include "toolkit/gui/qt/QtFormAccess.h"
#include "toolkit/gui/qt/QtImageCache.h"
#include "toolkit/gui/qt/WWindowBridge.h"

#include <QVBoxLayout>
#include <QWidget>

namespace {

Qt::WindowFlags windowFlags(unsigned style, bool owned) {
    Qt::WindowFlags flags = (owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint;
    if (style & WFormStyle::Border)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (style & WFormStyle::SystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WFormStyle::MinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style & WFormStyle::MaximizeBox)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

} // namespace

WForm::WForm() : WWindow(new QWidget(nullptr, Qt::Window)) {
    QWidget* top = widget();
    // The program decides when it ends (the main form's DestroyEvent), not Qt's last-window rule.
    top->setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    client_ = new QWidget(top);
    layout->addWidget(client_);
    bridge().setMouseSurface(client_, client_);
}

WForm::~WForm() = default;

void WForm::setDialogKeys(WWindow* ok, WWindow* cancel) {
    if (QWidget* top = widget())
        QtFormAccess::setDialogKeys(top, ok ? ok->widget() : nullptr, cancel ? cancel->widget() : nullptr);
}

bool WForm::create(const char* layoutName, const WString& fontText, WForm* owner) {
    QWidget* top = widget();
    const WResourceCatalog* catalog = WResources::catalog();
    const WFormTemplate* layout = catalog && layoutName ? catalog->form(layoutName) : nullptr;
    if (layout_ || !layout || !top)
        return false;
    if (const auto font = WFont::fromText(fontText)) {
        pointSize_ = font->pointSize();
        setFont(fontText);
    }
    const Qt::WindowFlags flags = windowFlags(layout->style, owner != nullptr);
    QtFormAccess::markWindow(top, owner != nullptr);
    if (owner && owner->widget())
        top->setParent(owner->widget(), flags);
    else
        top->setWindowFlags(flags);
    top->setWindowTitle(QString::fromUtf8(layout->caption ? layout->caption : ""));
    const QSize size(duToPixelsX(layout->width), duToPixelsY(layout->height));
    if (layout->style & WFormStyle::Resizable)
        top->resize(size);
    else
        top->setFixedSize(size);
    layout_ = layout;
    return true;
}

const WControlTemplate* WForm::controlLayout(int id) const {
    if (!layout_)
        return nullptr;
    for (const WControlTemplate& control : layout_->controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

// An 8-point face is 6 x 13 pixels on average: 4 horizontal and 8 vertical units per character cell.
int WForm::duToPixelsX(int du) const {
    return static_cast<int>(static_cast<long long>(du) * 3 * pointSize_ / 16);
}

int WForm::duToPixelsY(int du) const {
    return static_cast<int>(static_cast<long long>(du) * 13 * pointSize_ / 64);
}

QWidget* WForm::clientWidget() const {
    return widget() ? client_ : nullptr;
}

void WForm::activate() {
    if (QWidget* top = widget()) {
        top->raise();
        top->activateWindow();
    }
}

void WForm::close() {
    // A posted request: it runs once the caller has returned to the message loop.
    bridge().post([this] { bridge().requestClose(false); });
}

void WForm::setState(State state) {
    QWidget* top = widget();
    if (!top)
        return;
    switch (state) {
    case State::Normal:
        top->showNormal();
        activate();
        break;
    case State::Minimized:
        top->showMinimized();
        break;
    case State::Maximized:
        top->showMaximized();
        break;
    }
}

bool WForm::loadMenu(const char* resourceName) {
    auto menu = WMenu::load(*this, resourceName);
    if (!menu)
        return false;
    accelerators_.reset();
    menu_ = std::move(menu);
    const WResourceCatalog* catalog = WResources::catalog();
    if (const WAcceleratorTemplate* keys = catalog ? catalog->accelerators(resourceName) : nullptr)
        accelerators_ = std::make_unique<WAcceleratorTable>(*this, menu_.get(), *keys);
    return true;
}

void WForm::setIcon(int iconId) {
    if (QWidget* top = widget())
        top->setWindowIcon(QtImageCache::icon(iconId));
}

#include "toolkit/gui/WControl.h"

#include "toolkit/gui/WForm.h"
#include "toolkit/gui/qt/QtText.h"

#include <QFrame>
#include <QWidget>

namespace {

WControlTemplate layoutFor(const WForm& form, int id) {
    if (const WControlTemplate* layout = form.controlLayout(id))
        return *layout;
    // Not in the layout: an empty, hidden control of no size that the program can still place.
    return WControlTemplate{id, "", WControlKind::Label, 0, "", "", 0, 0, 0, 0};
}

QString utf8(const char* text) {
    return QString::fromUtf8(text ? text : "");
}

} // namespace

WControl::WControl(WForm& parent, int id, QWidget* widget) : WWindow(widget), layout_(layoutFor(parent, id)) {
    widget->setParent(parent.clientWidget());
    widget->setObjectName(utf8(layout_.name));
    // Texts of the layout are UTF-8; they reach the widget without a detour through Windows-1252.
    if (layout_.text && *layout_.text)
        setText(QtText::fromQStringLossy(utf8(layout_.text)));
    widget->setToolTip(utf8(layout_.tip));
    if (auto* frame = qobject_cast<QFrame*>(widget); frame && (layout_.style & WStyle::SunkenEdge))
        frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setRect({parent.duToPixelsX(layout_.x), parent.duToPixelsY(layout_.y), parent.duToPixelsX(layout_.width),
             parent.duToPixelsY(layout_.height)});
    widget->setVisible((layout_.style & WStyle::Visible) != 0);
}

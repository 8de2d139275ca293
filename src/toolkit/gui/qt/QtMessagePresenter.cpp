#include "toolkit/gui/qt/QtMessagePresenter.h"

#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WWindow.h"
#include "toolkit/gui/qt/QtHandOver.h"
#include "toolkit/gui/qt/QtText.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kIconHand = 0x10;

QMessageBox::Icon iconFor(unsigned flags) {
    switch (flags & kIconMask) {
    case kIconHand:
        return QMessageBox::Critical;
    case MB::ICONQUESTION:
        return QMessageBox::Question;
    case MB::ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB::ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The buttons of a button set with the result number each one returns.
std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsFor(unsigned flags) {
    constexpr int kAbort = 3, kRetry = 4, kIgnore = 5;
    switch (flags & kButtonMask) {
    case MB::OKCANCEL:
        return {{QMessageBox::Ok, ID::OK}, {QMessageBox::Cancel, ID::CANCEL}};
    case 2: // abort, retry, ignore
        return {{QMessageBox::Abort, kAbort}, {QMessageBox::Retry, kRetry}, {QMessageBox::Ignore, kIgnore}};
    case 3: // yes, no, cancel
        return {{QMessageBox::Yes, ID::YES}, {QMessageBox::No, ID::NO}, {QMessageBox::Cancel, ID::CANCEL}};
    case MB::YESNO:
        return {{QMessageBox::Yes, ID::YES}, {QMessageBox::No, ID::NO}};
    case 5: // retry, cancel
        return {{QMessageBox::Retry, kRetry}, {QMessageBox::Cancel, ID::CANCEL}};
    default:
        return {{QMessageBox::Ok, ID::OK}};
    }
}

// The buttons speak German whatever translations are installed: the texts of the platform's German
// message boxes.
QString germanText(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return QStringLiteral("OK");
    case QMessageBox::Cancel:
    case QMessageBox::Abort:
        return QStringLiteral("Abbrechen");
    case QMessageBox::Yes:
        return QStringLiteral("Ja");
    case QMessageBox::No:
        return QStringLiteral("Nein");
    case QMessageBox::Retry:
        return QStringLiteral("Wiederholen");
    case QMessageBox::Ignore:
        return QStringLiteral("Ignorieren");
    default:
        return {};
    }
}

// Without a display nobody could answer a box: it would wait for ever and hold up a shutdown. Its
// text goes to standard error, and it is answered with the choice that changes nothing.
int answerHeadless(const WMessageRequest& request) {
    QString text = QtText::toQString(request.caption) + QStringLiteral(": ") + QtText::toQString(request.text);
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    const auto buttons = buttonsFor(request.flags);
    for (const auto& [button, result] : buttons) {
        if (button == QMessageBox::Cancel || button == QMessageBox::No)
            return result;
    }
    return buttons.front().second; // OK alone; abort of abort, retry, ignore
}

} // namespace

int QtMessagePresenter::present(const WMessageRequest& request) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return ID::OTHER;
    if (WApplication::isHeadless())
        return answerHeadless(request);
    if (QThread::currentThread() != app->thread()) {
        // Widgets live on the user-interface thread; a worker's box is shown there while it waits.
        int result = ID::OTHER;
        QMetaObject::invokeMethod(app, QtHandOver::wrap([&] { result = present(request); }),
                                  Qt::BlockingQueuedConnection);
        QtHandOver::received();
        return result;
    }
    QWidget* parent = request.owner && request.owner->widget() ? request.owner->widget()->window() : nullptr;
    QMessageBox box(iconFor(request.flags), QtText::toQString(request.caption), QtText::toQString(request.text),
                    QMessageBox::NoButton, parent);
    // The text is shown as it is: a name or path must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    const bool taskModal = (request.flags & MB::TASKMODAL) != 0;
    box.setWindowModality(taskModal || !parent ? Qt::ApplicationModal : Qt::WindowModal);
    const auto buttons = buttonsFor(request.flags);
    for (const auto& [button, result] : buttons)
        box.addButton(button)->setText(germanText(button));
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, result] : buttons) {
        if (clicked && clicked == box.button(button))
            return result;
    }
    return ID::OTHER;
}

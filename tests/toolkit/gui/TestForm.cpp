#include "TestForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

TestForm::TestForm() {
    using namespace TestIds;
    if (!create("ID_Test", "8.MS Sans Serif"))
        throw std::runtime_error("the test layout is missing");
    label = std::make_unique<WLabel>(*this, TestIds::label);
    labelCentered = std::make_unique<WLabel>(*this, TestIds::labelCentered);
    textBox = std::make_unique<WTextBox>(*this, TestIds::textBox);
    textReadOnly = std::make_unique<WTextBox>(*this, TestIds::textReadOnly);
    masked = std::make_unique<WMaskedTextBox>(*this, TestIds::masked);
    listSorted = std::make_unique<WListBox>(*this, TestIds::listSorted);
    listMulti = std::make_unique<WListBox>(*this, TestIds::listMulti);
    listPlain = std::make_unique<WListBox>(*this, TestIds::listPlain);
    richText = std::make_unique<WRichTextBox>(*this, TestIds::richText);
    combo = std::make_unique<WComboBox>(*this, TestIds::combo);
    checkBox = std::make_unique<WCheckBox>(*this, TestIds::checkBox);
    button = std::make_unique<WCommandButton>(*this, TestIds::button);
    picture = std::make_unique<WPictureBox>(*this, TestIds::picture);
    tree = std::make_unique<WTreeView>(*this, TestIds::tree);
    animation = std::make_unique<WAnimation>(*this, TestIds::animation);
}

TestForm::~TestForm() = default;

void TestForm::showAndWait() {
    show();
    activate();
    if (!QTest::qWaitForWindowExposed(widget()))
        throw std::runtime_error("the test form was not exposed");
    if (!QTest::qWaitForWindowActive(widget()))
        throw std::runtime_error("the test form did not become active");
}

void pumpEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    // Windows destroyed by their own handlers leave their widgets for deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QPoint centreOf(const QWidget* widget) {
    return widget->rect().center();
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

void whenPopupOpens(std::function<void(QMenu&)> fn) {
    auto* timer = new QTimer(QCoreApplication::instance());
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, fn = std::move(fn)] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const bool expired = clock->elapsed() > 2000;
        if (!menu && !expired)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (menu)
            fn(*menu);
        else
            ADD_FAILURE() << "no popup menu opened";
    });
    timer->start(5);
}

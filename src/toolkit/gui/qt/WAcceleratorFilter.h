#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class WAcceleratorTable;
class WMenu;

// Watches the key presses of the whole application and hands those meant for the form's window to its
// key table, before the focused control sees them: the platform translates accelerators in the message
// loop, ahead of the control (toolkit internal).
class WAcceleratorFilter : public QObject {
public:
    WAcceleratorFilter(const WAcceleratorTable& table, QWidget* formWindow, WMenu* menu);
    ~WAcceleratorFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const WAcceleratorTable& table_;
    QPointer<QWidget> window_;
    WMenu* menu_;
};

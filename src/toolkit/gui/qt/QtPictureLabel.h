#pragma once

#include <QLabel>

#include <functional>

// The widget of a picture box (toolkit internal). As a picture button it takes the focus with Tab
// (a click leaves the focus where it is, as the platform's picture boxes do), draws a focus frame,
// fires on Space, Enter and Return, and is shown to assistive technology as a push button whose
// press action fires it.
class QtPictureLabel : public QLabel {
public:
    QtPictureLabel();

    // Makes the picture a button named name (its painted caption); activate runs when it fires.
    void setButtonRole(const QString& name, std::function<void()> activate);
    bool isButton() const { return static_cast<bool>(activate_); }
    // Fires once the current event has been handled: an assistive tool's press waits for no dialog
    // the command opens.
    void activateLater();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void()> activate_;
};

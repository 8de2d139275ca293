#pragma once

class QWidget;

// How assistive technology and the keyboard see a form's window (toolkit internal).
namespace QtFormAccess {
// The main window shows as a frame, a form with an owner as a dialog, named by its caption (a plain
// top-level widget would be an unnamed filler).
void markWindow(QWidget* top, bool dialog);
// Return and Enter click ok (or the focused push button, as in any dialog), Escape clicks cancel.
void setDialogKeys(QWidget* top, QWidget* ok, QWidget* cancel);
} // namespace QtFormAccess

#pragma once

#include "TestCatalog.h"
#include "WAnimation.h"
#include "WCheckBox.h"
#include "WComboBox.h"
#include "WCommandButton.h"
#include "WForm.h"
#include "WLabel.h"
#include "WListBox.h"
#include "WMaskedTextBox.h"
#include "WPictureBox.h"
#include "WRichTextBox.h"
#include "WTextBox.h"
#include "WTreeView.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

// The test layout "ID_Test" with one control of every kind, created (hidden) at construction.
class TestForm : public WForm {
public:
    TestForm();
    ~TestForm() override;
    // Shows the form and waits until the (offscreen) window is exposed and active.
    void showAndWait();

    std::unique_ptr<WLabel> label, labelCentered;
    std::unique_ptr<WTextBox> textBox, textReadOnly;
    std::unique_ptr<WMaskedTextBox> masked;
    std::unique_ptr<WListBox> listSorted, listMulti, listPlain;
    std::unique_ptr<WRichTextBox> richText;
    std::unique_ptr<WComboBox> combo;
    std::unique_ptr<WCheckBox> checkBox;
    std::unique_ptr<WCommandButton> button;
    std::unique_ptr<WPictureBox> picture;
    std::unique_ptr<WTreeView> tree;
    std::unique_ptr<WAnimation> animation;
};

// Delivers posted events, queued calls and deferred deletions.
void pumpEvents();
// The centre of a widget in its own coordinates.
QPoint centreOf(const QWidget* widget);
// Types text into a widget key by key, any character included (QTest types only ASCII).
void typeText(QWidget* widget, const QString& text);
// Calls fn with the first popup menu that opens. A popup runs its own nested loop, so this polls;
// it gives up (and fails the test) after two seconds.
void whenPopupOpens(std::function<void(QMenu&)> fn);

#pragma once

#include "toolkit/gui/WResourceCatalog.h"
#include "toolkit/gui/WWindow.h"

class WMenu;
class WAcceleratorTable;

// A top-level window built from a layout resource.
class WForm : public WWindow {
public:
    enum class State { Normal, Minimized, Maximized };

    WForm();
    ~WForm() override;

    // Creates the window from the layout "name" with the form font ("8.MS Sans Serif"): caption,
    // size in dialog units, style, hidden. With an owner the form is a dialog that stays above it.
    // False when the layout does not exist or the form was created already.
    bool create(const char* layoutName, const WString& fontText, WForm* owner = nullptr);
    // The layout entry of a control, or null.
    const WControlTemplate* controlLayout(int id) const;
    // Dialog units of the form font to pixels (1.5 and 1.625 pixels per unit at 8 points, rounded
    // toward zero).
    int duToPixelsX(int du) const;
    int duToPixelsY(int du) const;
    // The client area below the menu bar: the parent of the controls and the form's mouse surface.
    QWidget* clientWidget() const;

    void activate();
    // Posts a close request (QueryCloseEvent, CloseEvent; when neither handles it the form closes).
    void close();
    bool isClosed() const { return closed_; }
    void setState(State state);

    // Return and Enter click ok (or the focused command button), Escape clicks cancel, as in any dialog.
    void setDialogKeys(WWindow* ok, WWindow* cancel);

    // Menu bar with the key table of the same name; the form owns both.
    bool loadMenu(const char* resourceName);
    WMenu* menu() const { return menu_.get(); }
    void setIcon(int iconId);

private:
    const WFormTemplate* layout_ = nullptr;
    QWidget* client_ = nullptr; // a child of widget(), gone with it
    int pointSize_ = 8;
    std::unique_ptr<WMenu> menu_;
    std::unique_ptr<WAcceleratorTable> accelerators_;
    bool closed_ = false;
    friend class WWindowBridge;
};

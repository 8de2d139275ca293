#pragma once

#include "toolkit/core/WString.h"

#include <memory>

class WWindow;

// The platform's message-box flags.
namespace MB {
constexpr unsigned OK = 0x0;
constexpr unsigned OKCANCEL = 0x1;
constexpr unsigned YESNO = 0x4;
constexpr unsigned ICONQUESTION = 0x20;
constexpr unsigned ICONEXCLAMATION = 0x30;
constexpr unsigned ICONINFORMATION = 0x40;
constexpr unsigned TASKMODAL = 0x2000;
} // namespace MB

// Button results 1..9; anything else is reported as 10.
namespace ID {
constexpr int OK = 1;
constexpr int CANCEL = 2;
constexpr int YES = 6;
constexpr int NO = 7;
constexpr int OTHER = 10;
} // namespace ID

struct WMessageRequest {
    WString text;
    WString caption;
    unsigned flags = 0;
    WWindow* owner = nullptr; // null when shown without owner
};

// Shows message boxes. The real one uses Qt; tests install a scripted responder.
class WMessagePresenter {
public:
    virtual ~WMessagePresenter() = default;
    virtual int present(const WMessageRequest& request) = 0;
    // Installs a presenter (nullptr restores the Qt one). The caller keeps ownership.
    static void install(WMessagePresenter* presenter);
    static WMessagePresenter* installed();
};

class WMessageBox {
public:
    // The owner is used only when it is visible and enabled. Returns 1..9, else 10.
    static int show(WWindow* owner, const WString& text, const WString& caption, unsigned flags);
};

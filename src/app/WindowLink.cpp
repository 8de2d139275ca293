#include "app/WindowLink.h"

#include "app/form1/Form1.h"
#include "toolkit/gui/WLabel.h"

void WindowLink::Detach() {
    std::lock_guard lock(mutex_);
    form_ = nullptr;
}

void WindowLink::SetCaption(const WString& text) {
    std::lock_guard lock(mutex_);
    if (form_)
        form_->setText(text);
}

void WindowLink::SetClockText(const WString& text) {
    std::lock_guard lock(mutex_);
    if (form_)
        form_->label_datum_zeit->setText(text);
}

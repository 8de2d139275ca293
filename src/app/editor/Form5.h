#pragma once

#include "toolkit/core/WString.h"
#include "toolkit/gui/WForm.h"

#include <functional>
#include <memory>

class WCommandButton;
class WTextBox;

// The new-folder form: a name, "Ok" creates the folder below the handed-over path ("pfad=" of the
// settings file) and hands the new folder's path back the same way.
class Form5 : public WForm {
public:
    Form5();
    ~Form5() override;

    // Builds the form as a modeless dialog owned by owner, hidden; closed(true) runs once the new
    // folder is there and handed over, closed(false) when the form closes without it.
    bool create(WForm& owner, std::function<void(bool created)> closed);

    // Creates the folder; on success hands its path over and closes the form. A folder that cannot
    // be created is explained in a message and the form stays open. Returns whether it was created.
    bool CreateSubfolder();
    // Open until it has closed or is closing (its close request may still be on the way).
    bool isOpen() const { return closed_ != nullptr && !isClosed(); }

    // Why name cannot become a folder below parent (German); empty when it can. Where a folder of
    // that name exists it is simply taken.
    static WString FolderRefusal(const WString& parent, const WString& name);
    // The new folder's path below parent.
    static WString SubfolderPath(const WString& parent, const WString& name);

    std::unique_ptr<WTextBox> textb_nach;
    std::unique_ptr<WCommandButton> cb_1, cb_ordner_erstellen;

private:
    bool onChange(WEventData& event);
    bool onOk(WEventData& event);
    bool onCancel(WEventData& event);
    bool onClose(WEventData& event);
    void report(bool created);

    std::function<void(bool)> closed_;
};

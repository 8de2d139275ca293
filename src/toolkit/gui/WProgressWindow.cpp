#include "toolkit/gui/WProgressWindow.h"

#include "toolkit/gui/qt/QtHandOver.h"
#include "toolkit/gui/qt/QtText.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressDialog>

// Owned jointly by the window object and the queued calls; touched only on the UI thread.
class WProgressDialogHolder {
public:
    QPointer<QProgressDialog> dialog;
};

namespace {

// Runs fn on the user-interface thread, always queued: calls keep their order and none waits.
template <class F> void onUiThread(F fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, QtHandOver::wrap(std::move(fn)), Qt::QueuedConnection);
}

// Progress in per mille, so that byte counts beyond int fit the bar.
int perMille(const CopyProgress& p) {
    if (p.bytesTotal == 0)
        return p.filesTotal == 0 ? 0 : static_cast<int>(1000 * p.filesDone / p.filesTotal);
    return static_cast<int>(1000 * p.bytesDone / p.bytesTotal);
}

} // namespace

WProgressWindow::WProgressWindow(const WProgressTexts& texts)
    : cancelled_(std::make_shared<std::atomic<bool>>(false)), holder_(std::make_shared<WProgressDialogHolder>()),
      fileCount_(texts.fileCount) {
    const QString caption = QtText::toQString(texts.title);
    const QString cancelText = QtText::toQString(texts.cancelButton);
    onUiThread([holder = holder_, cancelled = cancelled_, caption, cancelText] {
        auto* dialog = new QProgressDialog(caption, cancelText, 0, 1000);
        dialog->setWindowTitle(caption);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        QObject::connect(dialog, &QProgressDialog::canceled, [cancelled] { cancelled->store(true); });
        holder->dialog = dialog;
        dialog->show();
    });
}

WProgressWindow::~WProgressWindow() {
    onUiThread([holder = holder_] {
        if (holder->dialog)
            holder->dialog->close();
    });
}

void WProgressWindow::progress(const CopyProgress& p) {
    const int value = perMille(p);
    const QString label = QtText::toQString(fileCount_).arg(p.filesDone).arg(p.filesTotal);
    onUiThread([holder = holder_, value, label] {
        if (!holder->dialog)
            return;
        holder->dialog->setValue(value);
        holder->dialog->setLabelText(label);
    });
}

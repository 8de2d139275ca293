#include "app/MorlanzApplication.h"

#include "app/MainForm.h"
#include "app/form1/Form1.h"
#include "resources/MorlanzResources.h"
#include "toolkit/gui/WResources.h"

MorlanzApplication::MorlanzApplication(int& argc, char** argv)
    : WApplication(argc, argv,
                   "Morlanz läuft ohne Anzeige (kein Fenster); die Zeitsteuerung arbeitet weiter. "
                   "Beenden mit Strg+C oder SIGTERM.") {
    WResources::install(&MorlanzResources::instance());
}

MorlanzApplication::~MorlanzApplication() = default;

bool MorlanzApplication::onStart() {
    form_ = std::make_unique<MainForm>();
    // Every close of the main window ends the program with code 0, also one during start-up (a
    // warning of the first job's details may be open then).
    form_->form().events().connect(WEventId::DestroyEvent, this, [](WEventData&) {
        WApplication::quit(ExitNormal);
        return false;
    });
    if (!form_->create()) {
        form_.reset();
        return false;
    }
    if (form_->startUpExitCode() != 0)
        exitNow(form_->startUpExitCode());
    return true;
}

void MorlanzApplication::onEnd() {
    form_.reset();
}

void MorlanzApplication::onTerminateSignal() {
    if (form_)
        form_->ExitProgram();
    else
        quit(ExitNormal);
}

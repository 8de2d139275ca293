#pragma once

#include "toolkit/gui/WApplication.h"

#include <memory>

class MainForm;

// Creates the main form on start, destroys it on end, and closes it on SIGINT/SIGTERM.
class MorlanzApplication : public WApplication {
public:
    MorlanzApplication(int& argc, char** argv);
    ~MorlanzApplication() override;

    MainForm* mainForm() const { return form_.get(); }

protected:
    bool onStart() override;
    void onEnd() override;
    void onTerminateSignal() override;

private:
    std::unique_ptr<MainForm> form_;
};

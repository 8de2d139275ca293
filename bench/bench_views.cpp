// The main window's view transitions on a real display (run it through bench/views.sh): with
// effects off, 50 rounds of overview -> log view -> overview and overview -> editor -> overview;
// with effects on, the duration of each transition, and the window at the end compared with the
// same views reached with effects off.
#include "BenchTiming.h"
#include "app/MainForm.h"
#include "app/effects/Effects.h"
#include "app/form1/Form1.h"
#include "app/form1/Views.h"
#include "resources/MorlanzResources.h"
#include "toolkit/gui/WApplication.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WResources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Lets the window system catch up: queued paints, expose events.
void settle(int ms = 20) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bench::Stats stats(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    return {n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2, ms.front(), ms.back()};
}

void report(const char* what, const std::vector<double>& ms) {
    const bench::Stats s = stats(ms);
    std::printf("%-34s %4zu  median %8.2f ms  min %8.2f  max %8.2f\n", what, ms.size(), s.median, s.min, s.max);
}

void setEffects(MainForm& form, bool on) {
    bench::writeFile("Einstellung.ini",
                     std::string("[EINSTELLUNG]\r\nstatus=0\r\n\r\n[SOUNDANI]\r\nstatus=") + (on ? "1" : "0") + "\r\n");
    form.PickUpPath(); // what every activation does: the setting is read again
}

// The window's client area as it is on screen, with the running clock painted over.
QImage shot(MainForm& form) {
    settle(200);
    QWidget* client = form.form().clientWidget();
    QImage image = client->grab().toImage();
    const WRect clock = form.form().label_datum_zeit->rect();
    QPainter(&image).fillRect(clock.x, clock.y, clock.width, clock.height, Qt::black);
    return image;
}

int runBench(int rounds, const std::string& shots) {
    const std::string folder = bench::enterWorkFolder();
    // Three jobs whose paths exist, so no warning interrupts a return to the overview.
    bench::writeFile("savename.ini", "[SICHERUNG]\r\nname_1=Fotos\r\nname_2=Dokumente\r\nname_3=Musik\r\n\r\n"
                                     "[NUMMER]\r\nwert=3\r\n");
    bench::writeFile("save.ini", "[Fotos]\r\nvon_0=/\r\nnach=/tmp\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n\r\n"
                                 "[Dokumente]\r\nvon_0=/\r\nnach=/tmp\r\n\r\n[Musik]\r\nvon_0=/\r\nnach=/tmp\r\n");
    MainForm form;
    if (!form.create()) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    settle(500);
    Views& v = form.views();
    struct Transition {
        const char* name;
        std::function<void()> run;
    };
    const Transition transitions[] = {
        {"overview -> log view", [&] { v.HideOverview(), v.ShowLogPanel(); }},
        {"log view -> overview", [&] { v.HideLogPanel(), v.ShowOverview(); }},
        {"overview -> editor", [&] { v.HideOverview(), v.ShowEditor(); }},
        {"editor -> overview", [&] { v.HideEditor(), v.ShowOverview(); }},
    };

    setEffects(form, false);
    std::printf("Effects off, %d rounds (the call, and the call with the window's pending events after it):\n", rounds);
    std::vector<std::vector<double>> call(4), flushed(4);
    for (int r = 0; r < rounds; ++r) {
        for (int t = 0; t < 4; ++t) {
            const auto start = Clock::now();
            transitions[t].run();
            call[t].push_back(msSince(start));
            QCoreApplication::processEvents();
            flushed[t].push_back(msSince(start));
            settle(5);
        }
    }
    for (int t = 0; t < 4; ++t) {
        report(transitions[t].name, call[t]);
        report((std::string("  with pending events")).c_str(), flushed[t]);
    }
    const QImage plain = shot(form);

    setEffects(form, true);
    const int effectRounds = std::max(1, rounds / 10);
    std::printf("Effects on, %d rounds:\n", effectRounds);
    std::vector<std::vector<double>> animated(4);
    for (int r = 0; r < effectRounds; ++r) {
        for (int t = 0; t < 4; ++t) {
            const auto start = Clock::now();
            transitions[t].run();
            animated[t].push_back(msSince(start));
            settle(5);
        }
    }
    for (int t = 0; t < 4; ++t)
        report(transitions[t].name, animated[t]);
    const QImage afterEffects = shot(form);

    long differing = 0;
    if (plain.size() == afterEffects.size()) {
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                differing += plain.pixel(x, y) != afterEffects.pixel(x, y);
    } else {
        differing = -1;
    }
    std::printf("overview after the effects-on rounds against effects off: %ld of %lld pixels differ%s\n", differing,
                static_cast<long long>(plain.width()) * plain.height(), differing == -1 ? " (sizes differ)" : "");
    if (!shots.empty()) {
        plain.save(QString::fromStdString(shots + "/overview-effects-off.png"));
        afterEffects.save(QString::fromStdString(shots + "/overview-effects-on.png"));
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(folder);
    return differing == 0 ? 0 : 3;
}

class BenchApplication : public WApplication {
public:
    BenchApplication(int& argc, char** argv)
        : WApplication(argc, argv, "bench_views needs a display: run it through bench/views.sh"),
          rounds_(argc > 1 ? std::atoi(argv[1]) : 50), shots_(argc > 2 ? argv[2] : "") {
        WResources::install(&MorlanzResources::instance());
    }

protected:
    bool onStart() override {
        quit(runBench(rounds_, shots_));
        return true;
    }
    void onEnd() override {}
    void onTerminateSignal() override { quit(1); }

private:
    int rounds_;
    std::string shots_;
};

} // namespace

int main(int argc, char** argv) {
    BenchApplication app(argc, argv);
    return app.exec();
}

#include "toolkit/gui/qt/QtSoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

namespace {
QtSoundPlayer* g_player = nullptr;
}

QtSoundPlayer::QtSoundPlayer() {
    // The player is a function-local static that outlives the application; its audio objects
    // must go before the application does, and with them the audio back end's connection.
    g_player = this;
    qAddPostRoutine([] {
        if (g_player)
            g_player->release();
    });
}

QtSoundPlayer::~QtSoundPlayer() {
    g_player = nullptr;
}

void QtSoundPlayer::release() {
    qDeleteAll(effects_);
    effects_.clear();
    devices_.reset();
    knowsDevices_ = false;
    hasDevice_ = false;
}

bool QtSoundPlayer::hasOutputDevice() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return false;
    if (!knowsDevices_) {
        // Asking the audio server once is enough: the list is kept up to date by its signal.
        devices_ = std::make_unique<QMediaDevices>();
        QObject::connect(devices_.get(), &QMediaDevices::audioOutputsChanged, devices_.get(),
                         [this] { hasDevice_ = !QMediaDevices::audioOutputs().isEmpty(); });
        hasDevice_ = !QMediaDevices::audioOutputs().isEmpty();
        knowsDevices_ = true;
    }
    return hasDevice_;
}

QSoundEffect* QtSoundPlayer::effect(const QString& name) {
    if (const auto it = effects_.constFind(name); it != effects_.constEnd())
        return *it;
    const QString path = QStringLiteral(":/sounds/%1.wav").arg(name);
    QSoundEffect* sound = nullptr;
    if (QFile::exists(path)) {
        sound = new QSoundEffect;
        sound->setSource(QUrl(QStringLiteral("qrc") + path));
    }
    effects_.insert(name, sound);
    return sound;
}

bool QtSoundPlayer::play(const char* name) {
    QSoundEffect* sound = effect(QString::fromLatin1(name));
    if (!sound || sound->status() == QSoundEffect::Error)
        return false;
    sound->play(); // a sound still loading plays once it is loaded
    return true;
}

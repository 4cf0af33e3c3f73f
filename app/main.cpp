// kestrova: the main window.
#include "app/MainForm.h"
#include "controls/UserDialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// An exception escaping an event handler is shown and the program goes on.
class Application final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            kestrova::UserDialogs::Current().Message(nullptr, kestrova::UserDialogs::Kind::Error,
                                                     QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

} // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fputs("kestrova: no display available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it on a desktop, under xvfb-run, or with QT_QPA_PLATFORM=offscreen.\n",
                   stderr);
        return 1;
    }
    Application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrova"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrova"));
    try {
        kestrova::TMainForm form;
        form.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        kestrova::UserDialogs::Current().Message(nullptr, kestrova::UserDialogs::Kind::Error,
                                                 QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

#include "app/MainWindow.h"
#include "device/LibraryLock.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // The lock exists before anything can call into the bridge library.
    LibraryLock::Instance();
    QApplication application(argc, argv);
    // The desktop matches the window to its entry by these: the class of the
    // X11 window (the entry's StartupWMClass) and the Wayland app id (the
    // entry's file name).
    QApplication::setApplicationName(QStringLiteral("talvo-edid-utility"));
    QApplication::setDesktopFileName(QStringLiteral("org.talvo.EdidUtility"));
    // The window is main's alone. File > Exit and "Close" end the process
    // without returning; the title bar's close button ends the event loop.
    MainWindow window;
    window.show();
    return application.exec();
}

#include "LibraryLock.h"
#include "MainWindow.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    // The lock exists before anything can call into the bridge library.
    LibraryLock::Instance();
    QApplication application(argc, argv);
    // File > Exit and "Close" destroy the window themselves and end the
    // process; the title bar's close button ends the event loop instead.
    auto window = std::make_unique<MainWindow>();
    window->show();
    return application.exec();
}

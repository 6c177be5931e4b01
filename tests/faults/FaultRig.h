#pragma once

#include "Checksum.h"
#include "ChildProcessExit.h"
#include "EdidImage.h"
#include "FakeClock.h"
#include "HexText.h"
#include "HookedDialogs.h"
#include "MainWindow.h"
#include "RecordingNativeWarning.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"

#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QStringList>

// A table with right checksums whose bytes follow from seed and step, so that
// the tables of a test differ from each other and from the unit's own.
inline EdidImage SeededTable(std::uint8_t seed, std::uint8_t step) {
    EdidImage image{};
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i * step + seed);
    }
    RepairChecksums(image);
    return image;
}

inline QString TextOf(const EdidImage& image) {
    return QString::fromStdString(CanonicalHexText(image));
}

// A main window on a simulated unit, with a fake clock, scripted dialogs and a record of every
// status-bar message.
struct FaultRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingNativeWarning native;
    HookedDialogs dialogs;
    ChildProcessExit processExit;
    // What the last File > Exit, run in a child process, ended with.
    int exitStatus = -1;
    QPointer<MainWindow> window;
    // Messages shown since the window was built, starting with the one its
    // start-up left in the status bar.
    QStringList statusMessages;

    ~FaultRig() { delete window; }

    void Start() {
        window = new MainWindow({bridge, clock, native, dialogs, processExit});
        const QString startupMessage = window->statusBar()->currentMessage();
        if (!startupMessage.isEmpty()) {
            statusMessages.append(startupMessage);
        }
        QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) {
                             if (!text.isEmpty()) {
                                 statusMessages.append(text);
                             }
                         });
    }

    template <typename Widget> Widget* Find(const char* name) const {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }

    // Runs a slot the way its button or menu entry would.
    void Invoke(const char* slot) { QMetaObject::invokeMethod(window, slot); }

    bool ProgressHidden() const {
        for (const QProgressBar* bar : window->statusBar()->findChildren<QProgressBar*>()) {
            if (!bar->isHidden()) {
                return false;
            }
        }
        return true;
    }
};

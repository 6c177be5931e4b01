#include "bench/BenchWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>

namespace {

// Notes the window's first paint: paints go from parent to children in one
// pass, so once the window has had its own, the pass that paints the rest is
// under way and ends before the event processing that runs it returns.
class FirstPaintWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }

    bool painted = false;
};

// Far more rounds than an offscreen show needs; only a platform that never
// paints would reach it.
constexpr int kMaxRoundsToFirstPaint = 1000;

} // namespace

BenchWindow::BenchWindow(Clock& clock) : clock_(clock), bridge_(clock_, unit_) {
    unit_.SetModeCode(SimulatedUnit::kCustom);
}

BenchWindow::~BenchWindow() = default;

void BenchWindow::Open() {
    window_ = std::make_unique<MainWindow>(
        MainWindowServices{bridge_, clock_, native_, dialogs_, processExit_});
    FirstPaintWatcher watcher;
    window_->installEventFilter(&watcher);
    window_->show();
    for (int round = 0; !watcher.painted && round < kMaxRoundsToFirstPaint; ++round) {
        Settle();
    }
    window_->removeEventFilter(&watcher);
}

void BenchWindow::Close() {
    window_.reset();
    Settle();
}

void BenchWindow::Invoke(const char* slot) {
    QMetaObject::invokeMethod(window_.get(), slot);
    Settle();
}

void BenchWindow::ClickRadio(const char* name) {
    window_->findChild<QRadioButton*>(QString::fromLatin1(name))->click();
    Settle();
}

void BenchWindow::ForgetRuns() {
    bridge_.Renew();
    native_.texts.clear();
    dialogs_.calls.clear();
}

QString BenchWindow::FirstComplaint() const {
    if (!native_.texts.empty()) {
        return QStringLiteral("native warning \"%1\"")
            .arg(QString::fromStdString(native_.texts.front()));
    }
    for (const ScriptedDialogs::Call& call : dialogs_.calls) {
        if (call.kind != QLatin1String("open") && call.kind != QLatin1String("save")) {
            return QStringLiteral("%1 box \"%2\"").arg(call.kind, call.text);
        }
    }
    return {};
}

QString BenchWindow::StatusMessage() const {
    return window_->statusBar()->currentMessage();
}

QString BenchWindow::ViewText() const {
    return window_->findChild<QTextEdit*>(QStringLiteral("EDIDtext"))->toPlainText();
}

int BenchWindow::StatusBarWidgets() const {
    return static_cast<int>(window_->statusBar()->findChildren<QWidget*>().size());
}

// Outside a running event loop, processEvents() leaves objects handed to
// deleteLater() alone; the program's loop deletes them as soon as control
// returns to it, so the benchmark does the same.
void BenchWindow::Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

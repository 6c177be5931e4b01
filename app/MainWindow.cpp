#include "app/MainWindow.h"

#include "app/FormFont.h"
#include "app/MainWindowSink.h"
#include "app/WindowIcon.h"
#include "device/CommandFrames.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QFont>
#include <QStatusBar>

MainWindow::MainWindow(QWidget* parent) : MainWindow(MainWindowServices::Production(), parent) {}

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), services_(services),
      events_(services.nativeWarning), transport_(services.library, services.clock, events_),
      commands_(transport_), sink_(std::make_unique<Sink>(*this)) {
    ui->setupUi(this);
    setWindowIcon(WindowIcon());
    QFont formFont = ui->centralwidget->font();
    formFont.setFamily(FormFontFamily());
    ui->centralwidget->setFont(formFont);
    FitFormTexts(ui->centralwidget);
    // A machine without Courier New still shows the table in columns: Qt on
    // Windows ignores the style hint, so the fallbacks are named too (Wine
    // has no Courier New, and its own fallback is a proportional serif face).
    QFont hexFont = ui->EDIDtext->font();
    hexFont.setStyleHint(QFont::TypeWriter);
    hexFont.setFamilies(
        {hexFont.family(), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    ui->EDIDtext->setFont(hexFont);
    CreateSummaryLabel();
    CreateTableMenu();
    SyncEDIDMode();
}

MainWindow::~MainWindow() = default;

void MainWindow::SyncEDIDMode() {
    deviceAddress_ = kStartupDeviceAddress;
    ui->EDIDtext->setEnabled(false);
    ui->automixEDID->setChecked(true);
    if (const OpenOutcome open = transport_.OpenDevice(); !open.Opened()) {
        // A unit that is there but would not open is no missing unit: the
        // reason takes the place of the no-unit message then.
        const QString reason = OpenFailureStatus(open);
        if (reason.isEmpty()) {
            ShowFailureMessage(NoUnitMessage());
        } else {
            ShowFailureMessage(reason);
        }
        return;
    }
    transport_.CloseDevice();
    // Cleared first: a query that fails leaves nothing to act on.
    std::uint8_t reply[frames::kStatusShortReplyLength] = {};
    const CommandOutcome status = commands_.QueryStatus(reply, sizeof reply);
    if (!status.UnitFound()) {
        ShowHardwareNotFound(status.open);
    }
    const std::uint8_t modeCode = reply[frames::kStatusModeByte];
    const bool modeKnown = status.Answered() && ShowModeOfUnit(modeCode);
    ReadEDID();
    // After the read, whose messages would hide it: AUTOMIX is checked only
    // as a default here.
    if (status.UnitFound() && !status.Answered()) {
        ShowFailureMessage(tr("The unit's EDID mode is unknown."));
    } else if (status.Answered() && !modeKnown) {
        ShowFailureMessage(tr("The unit's EDID mode is unknown (code %1).").arg(modeCode));
    }
}

bool MainWindow::ShowModeOfUnit(std::uint8_t modeCode) {
    if (modeCode == 0) {
        deviceAddress_ = kStartupDeviceAddress;
        return false;
    }
    EdidMode mode{};
    if (!EdidModeFromCode(modeCode, &mode)) {
        return false;
    }
    ui->automixEDID->setChecked(mode == EdidMode::Automix);
    ui->customEDID->setChecked(mode == EdidMode::Custom);
    ui->defaultEDID->setChecked(mode == EdidMode::Fixed);
    ui->EDIDtext->setEnabled(mode == EdidMode::Custom);
    return true;
}

// A missing library and a missing unit look alike to the transport; only the
// library knows which it is.
QString MainWindow::NoUnitMessage() const {
    if (const QString failure = LibraryFailureReason(); !failure.isEmpty()) {
        return failure;
    }
    // Where the bridge can be reached two ways, say which one found nothing.
    if (services_.bridgeName) {
        return tr("No unit found through %1.").arg(QString::fromStdString(services_.bridgeName()));
    }
    return tr("No TALVO unit is attached.");
}

void MainWindow::ShowHardwareNotFound(const OpenOutcome& open) {
    ShowWarning(tr("Hardware not found"));
    ShowOpenFailureReason(open);
}

// A library that could not be loaded fails every call; the window says so on
// its own, and the library's status adds nothing to it.
QString MainWindow::OpenFailureStatus(const OpenOutcome& open) const {
    return LibraryFailureReason().isEmpty() ? OpenFailureReason(open) : QString();
}

QString MainWindow::LibraryFailureReason() const {
    return services_.libraryFailure ? BridgeLoadFailureReason(services_.libraryFailure())
                                    : QString();
}

void MainWindow::ShowOpenFailureReason(const OpenOutcome& open) {
    if (const QString reason = OpenFailureStatus(open); !reason.isEmpty()) {
        ShowFailureMessage(reason);
    }
}

// The clicked button stays checked and the view follows the choice even when
// the unit did not take the command: the user sees what was asked for, and
// without a unit can still edit a table in CUSTOM mode.
void MainWindow::SwitchMode(EdidMode mode) {
    BeginAction();
    const ControlReport report = commands_.SetEDIDMode(mode);
    ui->EDIDtext->setEnabled(mode == EdidMode::Custom);
    // An absent unit has had its "Hardware not found!" boxes; a unit that got
    // the requests but did not answer them is said once for the click.
    if (report.Unconfirmed()) {
        ShowWarning(tr("The unit did not confirm the EDID mode change."));
    }
}

void MainWindow::SetAutomixEDID() {
    SwitchMode(EdidMode::Automix);
}

void MainWindow::SetCustomEDID() {
    SwitchMode(EdidMode::Custom);
}

void MainWindow::SetDefaultEDID() {
    SwitchMode(EdidMode::Fixed);
}

void MainWindow::SelectEdid(int index) {
    if (index >= 0 && index < static_cast<int>(std::size(kDeviceAddresses))) {
        deviceAddress_ = kDeviceAddresses[index];
    }
}

void MainWindow::FileExit() {
    if (!ConfirmLeave()) {
        return;
    }
    transport_.CloseDevice();
    services_.processExit.Exit(0);
}

// Fonts take their final size only on the screen the window shows on: fit
// them again there.
void MainWindow::showEvent(QShowEvent* event) {
    FitFormTexts(ui->centralwidget);
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ConfirmLeave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::ConfirmLeave() {
    return !ViewChangedSinceKept() ||
           services_.dialogs.Question(
               this, tr("TALVO EDID Utility"),
               tr("The table in the view has changes that were not saved or written."),
               tr("Close and lose them?"), WindowDialogs::DefaultAnswer::No);
}

void MainWindow::FileAbout() {
    services_.dialogs.About(
        this, tr("About TALVO EDID Utility"),
        tr("<h2>TALVO EDID Utility Version 1.0</h2>"
           "<p>Reads, verifies, edits and writes the EDID table that the TALVO presents to "
           "its video source, and loads and saves EDID files."));
}

void MainWindow::ShowWarning(const QString& text) {
    services_.dialogs.Warning(this, tr("TALVO EDID Utility"), text);
}

void MainWindow::ShowStatusMessage(const QString& text) {
    statusBar()->showMessage(text, 2000);
}

// A reason with the system's own text in it can be wider than the window;
// the status bar's tooltip keeps it whole.
void MainWindow::ShowFailureMessage(const QString& text) {
    statusBar()->showMessage(text);
    statusBar()->setToolTip(text);
}

void MainWindow::BeginAction() {
    statusBar()->clearMessage();
    statusBar()->setToolTip(QString());
}

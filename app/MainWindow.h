#pragma once

#include "app/MainWindowServices.h"
#include "app/NativeBoxEvents.h"
#include "device/BridgeTransport.h"
#include "device/ControlCommands.h"
#include "device/EdidModes.h"
#include "edid/EdidImage.h"

#include <QMainWindow>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct ReadReport;
struct WriteReport;
class QCloseEvent;
class QLabel;
class QProgressBar;
class QTextCursor;
class TableDetailsWindow;
class TransferSink;

namespace Ui {
class MainWindow;
}

// The one window of the program: the mode buttons, the Hex view that holds
// the table between operations, and a slot for every user action. Each slot
// runs its operation to completion on the GUI thread.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The Device address byte that block reads and writes address.
    std::uint8_t DeviceAddress() const { return deviceAddress_; }

public slots:
    void on_ProgressChange(int a, int b);

protected:
    // The title bar's close button asks first, as File > Exit does.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void SaveEDIDtoFile();
    void LoadEDIDfromFile();
    void FileExit();
    void FileAbout();
    void ReadEDID();
    void WriteEDID();
    void SelectEdid(int index);
    void CalculateChkSum();
    void SetAutomixEDID();
    void SetCustomEDID();
    void SetDefaultEDID();

private:
    class Sink;

    void SyncEDIDMode();
    // False when the code names no mode; the window then keeps its default.
    bool ShowModeOfUnit(std::uint8_t modeCode);
    QString NoUnitMessage() const;
    // "Hardware not found", with the reason in the status bar where there is one.
    void ShowHardwareNotFound(const OpenOutcome& open);
    // Why the unit did not open, for the status bar; empty when there is
    // nothing to add to "no unit".
    QString OpenFailureStatus(const OpenOutcome& open) const;
    // Why the bridge library cannot be used; empty while it can.
    QString LibraryFailureReason() const;
    void ShowOpenFailureReason(const OpenOutcome& open);
    void SwitchMode(EdidMode mode);

    bool VerifyChecksums();
    bool LoadFile();
    void LoadText(const std::vector<std::uint8_t>& contents);
    bool SaveFile();
    QString SaveFileNameWithSuffix();
    void RememberFolder(const QString& fileName);
    void ShowLoadedTable(const std::vector<std::uint8_t>& contents);

    // Reads the table back after a write; true when it matches what was
    // written or could not be read, which the user has then been told.
    bool CheckWrittenTable(const EdidImage& written);

    // The view's text as last read, loaded, saved or written: leaving with
    // anything else in the view asks first.
    void KeepViewText();
    bool ViewChangedSinceKept() const;
    bool ConfirmLeave();

    // The number of values in the view, or -1 with where the offending group
    // starts; see ParseHexText.
    int ParseEDIDtext(EdidImage& image, std::size_t* errorOffset = nullptr) const;
    // The view's table, or false when the view does not hold exactly one
    // table; the user has been told why then.
    bool TakeWholeTable(EdidImage& image);
    void ShowFormatError(int offset);
    bool TakeTableToWrite(EdidImage& image);
    void ShowEDIDtable(const EdidImage& image);
    void ShowHexText(const QString& text, const QColor& colour);
    QTextCursor ReplaceAll();
    bool ParsesToWholeTable(const QString& text) const;

    void CreateSummaryLabel();
    void ShowSummary();

    // The Table menu and its details window, made on first use.
    void CreateTableMenu();
    void ShowTableDetails();

    // What a run came to, in the window's boxes and status bar.
    void ShowReadReport(const ReadReport& report);
    void ShowWriteReport(const WriteReport& report);

    void StartProgress();
    void ShowWarning(const QString& text);
    // Success for 2000 ms; a failure stays until the next action, whole in
    // the status bar's tooltip.
    void ShowStatusMessage(const QString& text);
    void ShowFailureMessage(const QString& text);
    // Each user action starts with a clear status bar.
    void BeginAction();

    QProgressBar* progressBar = nullptr;
    QLabel* summaryLabel = nullptr;
    TableDetailsWindow* details_ = nullptr;
    std::unique_ptr<Ui::MainWindow> ui;

    MainWindowServices services_;
    NativeBoxEvents events_;
    BridgeTransport transport_;
    ControlCommands commands_;
    std::unique_ptr<TransferSink> sink_;
    std::uint8_t deviceAddress_ = kStartupDeviceAddress;
    QString keptViewText_;
    // Where the last file dialog of this run picked a file.
    QString lastFolder_;
};

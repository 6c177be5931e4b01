#pragma once

#include "app/MainWindowServices.h"
#include "device/BridgeTransport.h"
#include "device/ControlCommands.h"
#include "device/EdidModes.h"
#include "edid/EdidImage.h"

#include <QMainWindow>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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
    void ShowModeOfUnit(std::uint8_t modeCode);
    void SwitchMode(EdidMode mode);

    bool VerifyChecksums();
    bool LoadFile();
    void LoadText(const std::vector<std::uint8_t>& contents);
    bool SaveFile();

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

    void StartProgress();
    void ShowWarning(const QString& text);
    void ShowStatusMessage(const QString& text);

    QProgressBar* progressBar = nullptr;
    QLabel* summaryLabel = nullptr;
    TableDetailsWindow* details_ = nullptr;
    std::unique_ptr<Ui::MainWindow> ui;

    MainWindowServices services_;
    BridgeTransport transport_;
    ControlCommands commands_;
    std::unique_ptr<TransferSink> sink_;
    std::uint8_t deviceAddress_ = kStartupDeviceAddress;
};

#pragma once

#include "cli/CliSession.h"
#include "cli/ProgressSink.h"
#include "device/BridgeTransport.h"
#include "device/ControlCommands.h"
#include "device/EdidModes.h"
#include "device/TransportEvents.h"
#include "edid/EdidImage.h"

#include <cstdint>
#include <string>
#include <vector>

// The unit's three status bytes.
struct UnitStatus {
    std::uint8_t readErrors = 0;
    std::uint8_t edidReadings = 0;
    std::uint8_t modeCode = 0;
};

// The chosen unit as the commands use it, on the same transport, control
// commands and runs as the window. Each operation returns an exit status,
// kExitDone on success, having told the user what went wrong otherwise, in
// one line per failure: the transport's events are folded into it.
class UnitLink : private TransportEvents {
public:
    explicit UnitLink(CliSession& session);
    // The unit attached at this link (see device/UnitLinks.h), with a handle
    // of its own, so that several links can be open at once.
    UnitLink(CliSession& session, const std::string& link);

    // Every attached bridge device, once the bridge library has loaded.
    int ListDevices(std::vector<BridgeDevice>* devices);
    // The bridge library loads and the chosen unit is attached.
    int RequireUnit();
    int QueryStatus(UnitStatus* status);
    // What a table read is for decides what its failure leaves behind.
    enum class ReadPurpose { Read, Backup, Check };
    int ReadTable(EdidImage* table, ReadPurpose purpose = ReadPurpose::Read);
    int SetMode(EdidMode mode);
    // The write run and the two reset commands that follow it.
    int WriteTable(const EdidImage& table);

    BridgeTransport& Transport() { return transport_; }
    std::uint8_t DeviceAddress() const;
    // "unit 0, bank 0 (0xB0)", or "the unit at 1-4, bank 0 (0xB0)"
    std::string Where() const;

private:
    void OnTransportEvent(TransportEvent event, BridgeStatus status) override;
    // "unit 0", or "the unit at 1-4"
    std::string UnitName() const;
    // ": " and the bridge's own reason for the last failure, when it gives one.
    std::string BridgeReason() const;
    int ReportControl(const ControlReport& report, const std::string& what);

    CliSession& session_;
    BridgeTransport transport_;
    ControlCommands commands_;
    ProgressSink sink_;
    std::string link_;
};

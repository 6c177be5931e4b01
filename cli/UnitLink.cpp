#include "cli/UnitLink.h"

#include "cli/UnitWords.h"
#include "transfer/ChunkGeometry.h"
#include "transfer/EdidRead.h"
#include "transfer/EdidWrite.h"

#include <vector>

namespace {

std::string WriteChunkOffset(int chunk) {
    return HexByte(static_cast<std::uint8_t>(static_cast<std::size_t>(chunk) * kWriteChunkLength));
}

std::string ChunkList(const std::vector<int>& chunks) {
    std::string list;
    for (int chunk : chunks) {
        list += (list.empty() ? "" : ", ") + WriteChunkOffset(chunk);
    }
    return list;
}

std::string RefusedChunksText(const std::vector<int>& chunks) {
    return (chunks.size() == 1 ? "the unit refused the chunk at offset "
                               : "the unit refused the chunks at offsets ") +
           ChunkList(chunks);
}

// What a failed read leaves: for a backup, the write that did not follow;
// for the check, a table written but not checked.
struct ReadFailureWords {
    const char* before;
    const char* reading;
    const char* after;
    const char* interrupted;
};

ReadFailureWords WordsFor(UnitLink::ReadPurpose purpose) {
    switch (purpose) {
    case UnitLink::ReadPurpose::Backup:
        return {"", "reading the table for the backup", "; nothing was written",
                "interrupted; nothing was written"};
    case UnitLink::ReadPurpose::Check:
        return {"the table was written, but ", "reading it back to check it", "",
                "interrupted; the table was written, but not verified"};
    case UnitLink::ReadPurpose::Read:
        break;
    }
    return {"", "reading the table", "", "interrupted; the table was not read"};
}

} // namespace

UnitLink::UnitLink(CliSession& session)
    : session_(session),
      transport_(session.Services().library, session.Services().clock, *this, session.unitNumber),
      commands_(transport_), sink_(session.Services().err, session.ShowsProgress()) {
    sink_.SetStopQuery(session.Services().interrupted);
}

UnitLink::UnitLink(CliSession& session, const std::string& link) : UnitLink(session) {
    link_ = link;
    transport_.SelectLink(link);
}

std::uint8_t UnitLink::DeviceAddress() const {
    return kDeviceAddresses[session_.bank];
}

std::string UnitLink::UnitName() const {
    return link_.empty() ? "unit " + std::to_string(session_.unitNumber) : "the unit at " + link_;
}

std::string UnitLink::Where() const {
    return UnitName() + ", bank " + std::to_string(session_.bank) + " (" +
           HexByte(DeviceAddress()) + ")";
}

void UnitLink::OnTransportEvent(TransportEvent event, BridgeStatus status) {
    if (const std::string note = TransportEventNote(UnitName(), event, status); !note.empty()) {
        session_.Message(note);
    }
}

std::string UnitLink::BridgeReason() const {
    const auto& problem = session_.Services().bridgeProblem;
    const std::string text = UsbProblemText(problem ? problem() : UsbProblem{});
    return text.empty() ? std::string() : ": " + text;
}

int UnitLink::ListDevices(std::vector<BridgeDevice>* devices) {
    const auto& problem = session_.Services().libraryProblem;
    if (const BridgeLoadFailure failure = problem ? problem() : BridgeLoadFailure{};
        failure.Failed()) {
        session_.Message(BridgeLoadFailureText(failure));
        return kExitNoUnit;
    }
    if (const BridgeStatus count = transport_.ListDevices(devices); count != kBridgeSuccess) {
        session_.Message(DeviceCountFailureText(count) + BridgeReason());
        return kExitNoUnit;
    }
    return kExitDone;
}

int UnitLink::RequireUnit() {
    std::vector<BridgeDevice> devices;
    if (const int status = ListDevices(&devices); status != kExitDone) {
        return status;
    }
    std::uint32_t units = 0;
    for (const BridgeDevice& device : devices) {
        units += device.isUnit ? 1 : 0;
    }
    if (units == 0) {
        // A device whose serial string cannot be read may well be the unit.
        for (const BridgeDevice& device : devices) {
            if (device.serialStatus != kBridgeSuccess) {
                session_.Message(SerialStringFailureText(device.index, device.serialStatus) +
                                 BridgeReason());
                return kExitUnitFailed;
            }
        }
        session_.Message("no TALVO unit is attached" + BridgeReason());
        return kExitNoUnit;
    }
    if (session_.unitNumber >= units) {
        session_.Message("there is no unit " + std::to_string(session_.unitNumber) + ": " +
                         std::to_string(units) + (units == 1 ? " unit is" : " units are") +
                         " attached");
        return kExitNoUnit;
    }
    return kExitDone;
}

int UnitLink::QueryStatus(UnitStatus* status) {
    std::uint8_t reply[3] = {};
    const CommandOutcome outcome = commands_.QueryStatus(reply, sizeof reply);
    if (!outcome.UnitFound()) {
        session_.Message(OpenFailureText(UnitName(), outcome.open) + BridgeReason());
        return kExitUnitFailed;
    }
    if (!outcome.Answered()) {
        session_.Message(std::string("the unit did not answer the status request: ") +
                         TransactionFailureText(outcome.transaction));
        return kExitUnitFailed;
    }
    *status = {reply[0], reply[1], reply[2]};
    return kExitDone;
}

int UnitLink::ReadTable(EdidImage* table, ReadPurpose purpose) {
    sink_.SetLabel("reading");
    const ReadReport report = ReadEDIDfromDevice(transport_, sink_, DeviceAddress());
    const ReadFailureWords words = WordsFor(purpose);
    switch (report.outcome) {
    case ReadOutcome::Read:
        *table = report.table;
        return kExitDone;
    case ReadOutcome::NoUnit:
        session_.Message(std::string(words.before) + OpenFailureText(UnitName(), report.open) +
                         BridgeReason() + words.after);
        return kExitUnitFailed;
    case ReadOutcome::ChunkFailed:
        session_.Message(std::string(words.before) + words.reading + " failed at chunk " +
                         std::to_string(report.failedChunk + 1) + " of " +
                         std::to_string(kReadChunkCount) + ": " +
                         TransactionFailureText(report.failure) + words.after);
        return kExitUnitFailed;
    case ReadOutcome::Stopped:
        session_.Message(words.interrupted);
        return kExitInterrupted;
    }
    return kExitUnitFailed;
}

int UnitLink::SetMode(EdidMode mode) {
    return ReportControl(commands_.SetEDIDMode(mode), "the mode change");
}

int UnitLink::ReportControl(const ControlReport& report, const std::string& what) {
    if (report.Answered()) {
        return kExitDone;
    }
    const std::size_t count = report.requests.size();
    for (std::size_t i = 0; i < count; ++i) {
        const CommandOutcome& request = report.requests[i];
        if (request.Answered()) {
            continue;
        }
        const std::string reason = request.UnitFound() ? TransactionFailureText(request.transaction)
                                                       : OpenFailureText(UnitName(), request.open);
        session_.Message("the unit did not confirm " + what + ": request " + std::to_string(i + 1) +
                         " of " + std::to_string(count) + ": " + reason);
    }
    return kExitUnitFailed;
}

int UnitLink::WriteTable(const EdidImage& table) {
    sink_.SetLabel("writing");
    const WriteReport report = WriteEDIDtoDevice(transport_, sink_, table, DeviceAddress());
    const ControlReport resets = ResetAfterWrite(commands_, session_.Services().clock);

    int status = kExitDone;
    const std::string again = "; the unit's table may now be partly written: write it again";
    switch (report.outcome) {
    case WriteOutcome::Written:
        break;
    case WriteOutcome::NoUnit:
        session_.Message(OpenFailureText(UnitName(), report.open) + BridgeReason() +
                         "; nothing was written");
        status = kExitUnitFailed;
        break;
    case WriteOutcome::FailedBeforeAnyChunk:
    case WriteOutcome::FailedPartWay:
        session_.Message("the write failed at chunk " + std::to_string(report.failedChunk + 1) +
                         " of " + std::to_string(kWriteChunkCount) + " (offset " +
                         WriteChunkOffset(report.failedChunk) +
                         "): " + TransactionFailureText(report.failure) + again);
        status = kExitUnitFailed;
        break;
    case WriteOutcome::Stopped:
        if (report.failedChunk == 0) {
            session_.Message("interrupted; nothing was written");
        } else {
            session_.Message("interrupted after chunk " + std::to_string(report.failedChunk) +
                             " of " + std::to_string(kWriteChunkCount) +
                             "; the unit's table is partly written: write it again");
        }
        return kExitInterrupted;
    case WriteOutcome::ChunksRefused:
        session_.Message(RefusedChunksText(report.refusedChunks) + again);
        status = kExitUnitFailed;
        break;
    }
    if (ReportControl(resets, "the EDID reset") != kExitDone) {
        status = kExitUnitFailed;
    }
    return status;
}

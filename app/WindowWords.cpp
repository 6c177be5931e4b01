#include "app/WindowWords.h"

#include "device/BridgeFailureNames.h"
#include "transfer/ChunkGeometry.h"

#include <QCoreApplication>

namespace {

QString Translate(const char* text) {
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

const char* NativeBoxText(TransportEvent event) {
    switch (event) {
    case TransportEvent::SerialStringFailed:
        return "Error retrieving serial string!";
    case TransportEvent::ProductStringFailed:
        return "Unable to retrive product string!";
    case TransportEvent::OpenFailed:
        return "Unable to open handle to device!";
    case TransportEvent::FlushFailed:
        return "Unable to flush device bufers!";
    case TransportEvent::CloseFailed:
        return "Unable to close device handle!";
    case TransportEvent::InvalidHandle:
        return "Invalid Device Handle";
    case TransportEvent::SendFailed:
        return "Error Sending Code";
    case TransportEvent::QueueCheckFailed:
        return "Error Checking Queue";
    case TransportEvent::ReadFailed:
        return "Error Reading Data";
    case TransportEvent::CommandUnitNotFound:
        return "Hardware not found!";
    }
    return "";
}

QString BridgeStatusWords(BridgeStatus status) {
    const QString value = QString::asprintf("0x%02X", status);
    const char* name = BridgeFailureName(status);
    return name != nullptr ? QStringLiteral("%1 (%2)").arg(value, Translate(name)) : value;
}

QString BridgeLoadFailureReason(const BridgeLoadFailure& failure) {
    const QString library = QString::fromStdString(failure.library);
    // Windows ends its texts with a full stop, which the reason's own ends.
    QString system = QString::fromStdString(failure.systemText);
    if (system.endsWith(QLatin1Char('.'))) {
        system.chop(1);
    }
    switch (failure.problem) {
    case BridgeLoadProblem::None:
        return {};
    case BridgeLoadProblem::LibraryNotLoaded:
        return Translate("The bridge library %1 could not be loaded: %2.").arg(library, system);
    case BridgeLoadProblem::OperationMissing:
        return Translate("The bridge library %1 lacks the operation %2: %3.")
            .arg(library, QString::fromStdString(failure.operation), system);
    case BridgeLoadProblem::UsbNotStarted:
        return Translate("libusb could not be started: %1.").arg(system);
    }
    return {};
}

QString OpenFailureReason(const OpenOutcome& open) {
    const QString status = BridgeStatusWords(open.status);
    switch (open.step) {
    case OpenStep::Opened:
    case OpenStep::NoUnit:
        return {};
    case OpenStep::Count:
        return Translate("The bridge devices could not be counted: the bridge library answered %1.")
            .arg(status);
    case OpenStep::SerialString:
        return Translate("The bridge's strings could not be read: the bridge library answered %1.")
            .arg(status);
    case OpenStep::ProductString:
        return Translate(
                   "The unit's product string could not be read: the bridge library answered %1.")
            .arg(status);
    case OpenStep::Open:
        return Translate("The unit could not be opened: the bridge library answered %1.")
            .arg(status);
    case OpenStep::Flush:
        return Translate("The unit's buffers could not be flushed: the bridge library answered %1.")
            .arg(status);
    }
    return {};
}

QString TransactionReason(const TransactionOutcome& outcome) {
    QString reason;
    switch (outcome.result) {
    case TransactionResult::Ok:
        return Translate("answered");
    case TransactionResult::NotOpen:
        reason = Translate("the unit was not open");
        break;
    case TransactionResult::SendFailed:
        reason = Translate("the request could not be sent");
        break;
    case TransactionResult::QueueCheckFailed:
        reason = Translate("the receive queue could not be checked");
        break;
    case TransactionResult::TimedOut:
        reason = Translate("no reply within %1 ms").arg(BridgeTransport::kReplyTimeoutMs);
        break;
    case TransactionResult::ReadFailed:
        reason = Translate("the reply could not be read");
        break;
    case TransactionResult::ShortReply:
        reason = Translate("the reply came short");
        break;
    }
    if (outcome.status != kBridgeSuccess) {
        reason +=
            Translate(": the bridge library answered %1").arg(BridgeStatusWords(outcome.status));
    }
    return reason;
}

QString ReadFailureReason(int chunk, const TransactionOutcome& outcome) {
    return Translate("Reading failed at chunk %1 of %2: %3.")
        .arg(chunk + 1)
        .arg(kReadChunkCount)
        .arg(TransactionReason(outcome));
}

QString WriteFailureReason(int chunk, const TransactionOutcome& outcome) {
    return Translate("Writing failed at chunk %1 of %2: %3.")
        .arg(chunk + 1)
        .arg(kWriteChunkCount)
        .arg(TransactionReason(outcome));
}

QString RefusedChunksReason(const std::vector<int>& chunks) {
    if (chunks.empty()) {
        return {};
    }
    if (chunks.size() == 1) {
        return Translate("The unit refused chunk %1 of %2.")
            .arg(chunks.front() + 1)
            .arg(kWriteChunkCount);
    }
    return Translate("The unit refused %1 of %2 chunks, the first of them chunk %3.")
        .arg(chunks.size())
        .arg(kWriteChunkCount)
        .arg(chunks.front() + 1);
}

#pragma once

#include "device/BridgeLoadFailure.h"
#include "device/BridgeTransport.h"
#include "device/TransportEvents.h"

#include <QString>

#include <vector>

// The window's words for what the layers below it report. The boxes keep
// their established texts; where a box is terse, the status bar adds the
// reason, which the window has from the typed outcome.

// The text of the transport's own box for an event, shown as it stands.
const char* NativeBoxText(TransportEvent event);

// "0xFF (device not found)", or "0x5F" for a value the library does not
// document.
QString BridgeStatusWords(BridgeStatus status);

// Why the way to the bridge cannot be used at all, for the status bar:
// "The bridge library libSiUSBXp.so could not be loaded: <the loader's
// text>." Empty when it can.
QString BridgeLoadFailureReason(const BridgeLoadFailure& failure);

// Why the unit could not be opened, for the status bar; empty when simply
// no unit is attached, which the box already says.
QString OpenFailureReason(const OpenOutcome& open);

// Why a transaction failed: "no reply within 1000 ms".
QString TransactionReason(const TransactionOutcome& outcome);
// Where a run stopped and why: "Reading failed at chunk 5 of 16: no reply
// within 1000 ms." chunk counts from 0.
QString ReadFailureReason(int chunk, const TransactionOutcome& outcome);
QString WriteFailureReason(int chunk, const TransactionOutcome& outcome);
// Which chunks, counted from 0, the unit refused.
QString RefusedChunksReason(const std::vector<int>& chunks);

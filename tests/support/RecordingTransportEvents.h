#pragma once

#include "device/TransportEvents.h"

#include <vector>

// Keeps the transport's events, with their library statuses, in order.
class RecordingTransportEvents : public TransportEvents {
public:
    void OnTransportEvent(TransportEvent event, BridgeStatus status) override {
        events.push_back(event);
        statuses.push_back(status);
    }

    std::vector<TransportEvent> events;
    std::vector<BridgeStatus> statuses;
};

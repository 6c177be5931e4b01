#pragma once

#include "app/NativeWarning.h"
#include "app/WindowWords.h"
#include "device/TransportEvents.h"

// The transport's events as the window shows them: each at once, in a native
// box of its own, in the order they come.
class NativeBoxEvents : public TransportEvents {
public:
    explicit NativeBoxEvents(NativeWarning& boxes) : boxes_(boxes) {}
    void OnTransportEvent(TransportEvent event, BridgeStatus) override {
        boxes_.Show(NativeBoxText(event));
    }

private:
    NativeWarning& boxes_;
};

#include "BridgeTransport.h"
#include "FakeClock.h"
#include "NativeWarning.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"

#include <QtTest>

namespace {

class WarningRecorder : public NativeWarning {
public:
    void Show(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

} // namespace

// The device layer's transport over the simulated bridge: the two fit
// together for one transaction.
class TransportSmokeTest : public QObject {
    Q_OBJECT

private slots:
    void oneBlockRead();
};

void TransportSmokeTest::oneBlockRead() {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge(clock, unit);
    bridge.SetDevices({{"1234", "OTHER", false}, {"2022", "TALVO", true}});
    WarningRecorder warning;
    BridgeTransport transport(bridge, clock, warning);

    QVERIFY(transport.OpenDevice());
    const std::uint8_t request[] = {0x11, 0x10, 0xB2, 0x10};
    std::uint8_t reply[16] = {};
    QVERIFY(transport.DeviceTransaction(transport.Handle(), reply, request, 16, 4));
    transport.CloseDevice();

    const UnitMemory& table = unit.Memory(0xB2);
    QVERIFY(std::equal(reply, reply + 16, table.begin() + 0x10));
    QVERIFY(bridge.Log() == (std::vector<std::string>{"open", "11 10 B2 10", "close"}));
    QCOMPARE(bridge.OpenHandles(), 0);
    QVERIFY(bridge.EveryCallLocked());
    QVERIFY(warning.shown.empty());
}

QTEST_APPLESS_MAIN(TransportSmokeTest)
#include "TransportSmokeTest.moc"

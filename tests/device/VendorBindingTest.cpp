#include "BridgeTransport.h"
#include "FakeClock.h"
#include "RecordingNativeWarning.h"
#include "VendorBridgeLibrary.h"

#include <QtTest>

#include <array>
#include <string>
#include <vector>

// The run-time binding against the stand-in library built beside the tests.
class VendorBindingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(log.open());
        qputenv("SIUSBXP_SIM_LOG", log.fileName().toLocal8Bit());
        qputenv("SIUSBXP_SIM_STATE", QByteArray());
    }

    void bindsTheStandInAndTalksToTheUnit() {
        VendorBridgeLibrary library(STANDIN_LIBRARY_PATH);
        QVERIFY(library.IsBound());
        QVERIFY(library.LoadFailure().empty());
        FakeClock clock;
        RecordingNativeWarning warning;
        BridgeTransport transport(library, clock, warning);

        QVERIFY(transport.OpenDevice());
        const std::array<std::uint8_t, 4> request{0x11, 0x10, 0xB0, 0x00};
        std::array<std::uint8_t, 16> reply{};
        QVERIFY(transport.DeviceTransaction(transport.Handle(), reply.data(), request.data(), 16,
                                            4) == TransactionResult::Ok);
        // Every EDID table starts with its fixed header.
        const std::array<std::uint8_t, 8> header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        QVERIFY(std::equal(header.begin(), header.end(), reply.begin()));
        transport.CloseDevice();
        QCOMPARE(*transport.Handle(), kNoDevice);
        QVERIFY(warning.texts.empty());

        const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
        QCOMPARE(lines, (QList<QByteArray>{"open", "11 10 B0 00", "close"}));
    }

    void missingLibraryActsAsNoUnit() {
        std::vector<std::string> reports;
        VendorBridgeLibrary library(
            "libSiUSBXp-that-does-not-exist.so",
            [&](const std::string& failure) { reports.push_back(failure); });
        QVERIFY(!library.IsBound());
        // Told once, naming the file and the loader's own reason.
        QVERIFY(!library.IsBound());
        QCOMPARE(reports.size(), std::size_t{1});
        QCOMPARE(library.LoadFailure(), reports.front());
        QVERIFY(reports.front().find("libSiUSBXp-that-does-not-exist.so: ") != std::string::npos);
        QVERIFY(reports.front().find("No such file") != std::string::npos);
        std::uint32_t count = 0;
        QVERIFY(library.GetNumDevices(&count) != kBridgeSuccess);
        DeviceHandle handle = kNoDevice;
        QVERIFY(library.Open(0, &handle) != kBridgeSuccess);
        std::uint32_t waiting = 0;
        std::uint32_t status = 0;
        QVERIFY(library.CheckRXQueue(handle, &waiting, &status) != kBridgeSuccess);

        FakeClock clock;
        RecordingNativeWarning warning;
        BridgeTransport transport(library, clock, warning);
        QVERIFY(!transport.OpenDevice());
        QVERIFY(warning.texts.empty());
        QCOMPARE(*transport.Handle(), kNoDevice);
    }

private:
    QTemporaryFile log;
};

QTEST_GUILESS_MAIN(VendorBindingTest)
#include "VendorBindingTest.moc"

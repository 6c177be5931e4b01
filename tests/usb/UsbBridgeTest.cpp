// The libusb bridge against an emulated bridge: umockdev stands in for the
// kernel's USB file system, so libusb and the ioctls it issues run for real.
// Runs under umockdev-wrapper.

// GLib's headers first: Qt's "signals" keyword would break them.
#include "sim/EmulatedBridge.h"

#include "app/MainWindow.h"
#include "cli/TalvoEdid.h"
#include "cli/UnitWords.h"
#include "device/BridgeTransport.h"
#include "device/SelectedBridge.h"
#include "device/UsbBridgeLibrary.h"
#include "tests/support/ChildProcessExit.h"
#include "tests/support/RecordingNativeWarning.h"
#include "tests/support/RecordingTransportEvents.h"
#include "tests/support/RunToolInProcess.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/StringLists.h"

#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <libusb.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

Q_DECLARE_METATYPE(TransactionResult)
Q_DECLARE_METATYPE(TransportEvent)

namespace {

// The status request and its three-byte reply.
constexpr std::array<std::uint8_t, 1> kStatusRequest = {0x02};

struct Bench {
    UMockdevTestbed* testbed = umockdev_testbed_new();
    std::unique_ptr<EmulatedBridge> other;
    std::unique_ptr<EmulatedBridge> unit;
    std::unique_ptr<UsbBridgeLibrary> library;
    SystemClock clock;
    RecordingNativeWarning warning;
    RecordingTransportEvents events;
    std::unique_ptr<BridgeTransport> transport;

    // With another adapter of the same id when asked.
    explicit Bench(bool withOther = false) {
        if (withOther) {
            other = std::make_unique<EmulatedBridge>(
                testbed, EmulatedBridge::Options{1, 5, "1", "0001", "USB BRIDGE", false});
        }
        unit = std::make_unique<EmulatedBridge>(testbed, EmulatedBridge::Options{});
    }
    ~Bench() {
        transport.reset();
        library.reset();
        unit.reset();
        other.reset();
        g_object_unref(testbed);
    }
    // libusb starts only once the devices are in place.
    BridgeTransport& Start() {
        library = MakeUsbBridgeLibrary();
        transport = std::make_unique<BridgeTransport>(*library, clock, events);
        return *transport;
    }
    TransactionResult Status(std::array<std::uint8_t, 3>* reply) {
        return transport
            ->DeviceTransaction(transport->Handle(), reply->data(), kStatusRequest.data(), 3, 1)
            .result;
    }
};

QStringList Log(const EmulatedBridge& bridge) {
    return ToStringList(bridge.Log());
}

} // namespace

class UsbBridgeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!qgetenv("LD_PRELOAD").contains("umockdev-preload")) {
            QSKIP("needs umockdev-wrapper");
        }
    }

    // The tool over libusb, in process, as a user runs it.
    void tool_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QString>("output");
        QTest::newRow("list") << "list" << 0 << "^0  2022  TALVO  unit 0\n$";
        QTest::newRow("status") << "status" << 0
                                << "^mode: automix\nread errors: 0\nEDID readings: 0\n$";
        QTest::newRow("mode custom") << "mode custom" << 0 << "^$";
        QTest::newRow("read") << "read" << 0 << "^00 FF FF FF FF FF FF 00";
    }
    void tool() {
        QFETCH(QString, arguments);
        QFETCH(int, exitStatus);
        QFETCH(QString, output);
        Bench bench;
        bench.Start();
        std::ostringstream out;
        std::ostringstream err;
        const CliServices services{*bench.library, bench.clock, out, err, false, {}};
        QCOMPARE(RunTalvoEdidWith(arguments.split(' '), services), exitStatus);
        QVERIFY2(QString::fromStdString(out.str()).contains(QRegularExpression(output)),
                 out.str().c_str());
        QVERIFY2(err.str().empty(), err.str().c_str());
        if (arguments == "mode custom") {
            QCOMPARE(bench.unit->Unit().ModeCode(), SimulatedUnit::kCustom);
        }
        // Every open was closed again: the data path is off and the serial
        // driver has the device back.
        QVERIFY(!bench.unit->DataPathEnabled());
        QVERIFY(bench.unit->DriverBound());
    }

    // The built tool, with no vendor library anywhere, picks libusb by
    // itself; it inherits the test bed and the preload from this process.
    void builtToolFallsBackToLibusb() {
        Bench bench;
        QTemporaryDir dir;
        const QString trace = dir.filePath("usb.trace");
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("LD_LIBRARY_PATH");
        tool.setProcessEnvironment(environment);
        tool.start(TOOL_PATH, {"status", "--usb-trace", trace});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()),
                 QString("mode: automix\nread errors: 0\nEDID readings: 0\n"));
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("OUT bulk 02 len 1: 02"));
    }

    void writeWithVerify() {
        Bench bench;
        bench.unit->Unit().SetModeCode(SimulatedUnit::kCustom);
        bench.Start();
        QTemporaryDir dir;
        const UnitMemory table = SimulatedUnit::DefaultTable(0xB2);
        const QString path = dir.filePath("table.bin");
        std::ofstream(path.toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(table.data()), table.size());
        std::ostringstream out;
        std::ostringstream err;
        const CliServices services{*bench.library, bench.clock, out, err, false, {}};
        QCOMPARE(RunTalvoEdidWith({"write", path}, services), 0);
        QVERIFY2(QString::fromStdString(err.str()).contains("verified"), err.str().c_str());
        QVERIFY(bench.unit->Unit().Memory(0xB0) == table);
    }

    void windowStartUpReadsTheTable() {
        Bench bench;
        bench.Start();
        ScriptedDialogs dialogs;
        ChildProcessExit processExit;
        MainWindow window({*bench.library, bench.clock, bench.warning, dialogs, processExit});
        auto* view = window.findChild<QTextEdit*>("EDIDtext");
        QVERIFY(view->toPlainText().startsWith("00 FF FF FF FF FF FF 00"));
        QVERIFY(bench.warning.texts.empty());
    }

    void windowWithoutUnitNamesTheBridge() {
        UMockdevTestbed* testbed = umockdev_testbed_new();
        SelectedBridge library(std::make_unique<VendorBridgeLibrary>("libSiUSBXp-missing.so"),
                               MakeUsbBridgeLibrary());
        SystemClock clock;
        RecordingNativeWarning warning;
        ScriptedDialogs dialogs;
        ChildProcessExit processExit;
        {
            MainWindow window({library, clock, warning, dialogs, processExit,
                               [&library] { return library.LoadFailure(); },
                               [&library] { return library.Name(); }});
            QCOMPARE(window.statusBar()->currentMessage(),
                     QString("No unit found through libusb."));
        }
        g_object_unref(testbed);
    }

    // The device suite's transaction rows whose faults lie behind the USB
    // link; each reply comes through bulk URBs.
    void transaction_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<TransactionResult>("result");
        using R = TransactionResult;
        QTest::newRow("answered") << "" << R::Ok;
        QTest::newRow("late but within the limit") << "late 900" << R::Ok;
        QTest::newRow("later than the limit") << "late 1500" << R::TimedOut;
        QTest::newRow("never answered") << "noreply" << R::TimedOut;
        QTest::newRow("short reply") << "short 2" << R::ShortReply;
    }
    void transaction() {
        QFETCH(QString, fault);
        QFETCH(TransactionResult, result);
        Bench bench;
        SimulatedBridge& backend = bench.unit->Backend();
        const QStringList words = fault.split(' ');
        if (words[0] == "late") {
            backend.ReplyLate(1, words[1].toUInt());
        } else if (words[0] == "noreply") {
            backend.ReplyNever(1);
        } else if (words[0] == "short") {
            backend.ReplyShort(1, words[1].toUInt());
        }
        bench.unit->Unit().SetCounters(5, 7);
        BridgeTransport& transport = bench.Start();
        QVERIFY(transport.OpenDevice().Opened());
        std::array<std::uint8_t, 3> reply{0xEE, 0xEE, 0xEE};
        QCOMPARE(bench.Status(&reply), result);
        const std::array<std::uint8_t, 3> expected =
            result == TransactionResult::Ok ? std::array<std::uint8_t, 3>{5, 7, 1}
                                            : std::array<std::uint8_t, 3>{0xEE, 0xEE, 0xEE};
        QCOMPARE(reply, expected);
        transport.CloseDevice();
        QCOMPARE(
            Log(*bench.unit).filter(QRegularExpression("^(vendor|claim|release|attach|detach)")),
            QStringList({"detach cp210x", "claim 0", "vendor 0002", "vendor 0001", "vendor 0001",
                         "vendor 0004", "release 0", "attach"}));
    }

    // A reply that came after its wait sits in the host buffer until a flush
    // of the receive side clears it, so that it never answers the next
    // request.
    void receiveFlushClearsALateReply() {
        Bench bench;
        bench.unit->Backend().ReplyLate(1, 1200);
        BridgeTransport& transport = bench.Start();
        QVERIFY(transport.OpenDevice().Opened());
        std::array<std::uint8_t, 3> reply{};
        QCOMPARE(bench.Status(&reply), TransactionResult::TimedOut);
        bench.clock.Sleep(400);
        std::uint32_t waiting = 0;
        std::uint32_t queueStatus = 0;
        const DeviceHandle handle = *transport.Handle();
        QCOMPARE(bench.library->CheckRXQueue(handle, &waiting, &queueStatus), kBridgeSuccess);
        QCOMPARE(waiting, 3u);
        QCOMPARE(bench.library->FlushBuffers(handle, 0, 1), kBridgeSuccess);
        QCOMPARE(bench.library->CheckRXQueue(handle, &waiting, &queueStatus), kBridgeSuccess);
        QCOMPARE(waiting, 0u);
        transport.CloseDevice();
    }

    // Each fault ends the operation with the vendor library's failure and
    // libusb's reason, and leaves the unit closed with its driver back.
    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<TransactionResult>("result");
        QTest::addColumn<TransportEvent>("event");
        QTest::addColumn<QString>("problem");
        using R = TransactionResult;
        using E = TransportEvent;
        QTest::newRow("unplugged mid-transaction")
            << "unplug" << true << R::QueueCheckFailed << E::QueueCheckFailed
            << "the bridge at USB bus 1 device 7 was unplugged";
        QTest::newRow("stalled endpoint") << "stall" << true << R::SendFailed << E::SendFailed
                                          << "the bridge at USB bus 1 device 7 stalled while "
                                             "taking a request";
        QTest::newRow("busy interface")
            << "busy" << false << R::NotOpen << E::InvalidHandle
            << "the bridge at USB bus 1 device 7 is in use by another program or driver";
    }
    void faults() {
        QFETCH(QString, fault);
        QFETCH(bool, opens);
        QFETCH(TransactionResult, result);
        QFETCH(TransportEvent, event);
        QFETCH(QString, problem);
        Bench bench;
        if (fault == "unplug") {
            bench.unit->UnplugAtRequest(1);
        } else if (fault == "stall") {
            bench.unit->StallOut(true);
        } else {
            bench.unit->SetBusy(true);
        }
        BridgeTransport& transport = bench.Start();
        QCOMPARE(transport.OpenDevice().Opened(), opens);
        std::array<std::uint8_t, 3> reply{};
        QCOMPARE(bench.Status(&reply), result);
        QVERIFY(bench.events.events.back() == event);
        QCOMPARE(QString::fromStdString(UsbProblemText(bench.library->LastProblem())), problem);
        transport.CloseDevice();
        QCOMPARE(*transport.Handle(), kNoDevice);
        if (fault != "unplug") {
            QVERIFY(!bench.unit->DataPathEnabled());
            QVERIFY(bench.unit->DriverBound());
        }
    }

    // An ordinary adapter with the bridge's id is asked for its strings and
    // nothing else: no claim, no driver detach, no vendor request, no data.
    void otherDeviceIsNeverTouched() {
        Bench bench(true);
        BridgeTransport& transport = bench.Start();
        std::vector<BridgeDevice> devices;
        QCOMPARE(transport.ListDevices(&devices), kBridgeSuccess);
        QCOMPARE(devices.size(), std::size_t{2});
        QCOMPARE(devices[0].isUnit + devices[1].isUnit, 1);
        QVERIFY(transport.OpenDevice().Opened());
        std::array<std::uint8_t, 3> reply{};
        QCOMPARE(bench.Status(&reply), TransactionResult::Ok);
        transport.CloseDevice();
        for (const QString& line : Log(*bench.other)) {
            QVERIFY2(line.startsWith("string "), qPrintable(line));
        }
        QVERIFY(bench.other->DriverBound());
        QVERIFY(Log(*bench.unit).contains("out 02"));
    }

    // Without the open request the emulated bridge lets nothing through, as
    // the hardware does: every other row passing shows that the library
    // sends it.
    void nothingFlowsBeforeTheOpenRequest() {
        Bench bench;
        libusb_context* context = nullptr;
        QCOMPARE(libusb_init(&context), 0);
        libusb_device_handle* handle = libusb_open_device_with_vid_pid(
            context, UsbBridgeLibrary::kVendorId, UsbBridgeLibrary::kProductId);
        QVERIFY(handle != nullptr);
        libusb_set_auto_detach_kernel_driver(handle, 1);
        QCOMPARE(libusb_claim_interface(handle, 0), 0);
        std::uint8_t request = kStatusRequest[0];
        int transferred = 0;
        QCOMPARE(libusb_bulk_transfer(handle, 0x02, &request, 1, &transferred, 200),
                 int(LIBUSB_ERROR_TIMEOUT));
        std::array<std::uint8_t, 64> reply{};
        QCOMPARE(libusb_bulk_transfer(handle, 0x82, reply.data(), 64, &transferred, 200),
                 int(LIBUSB_ERROR_TIMEOUT));
        libusb_release_interface(handle, 0);
        libusb_close(handle);
        libusb_exit(context);
        QCOMPARE(bench.unit->Unit().EdidReadings(), std::uint8_t{0});
        QVERIFY(Log(*bench.unit).filter(QRegularExpression("^out")).isEmpty());
        QVERIFY(Log(*bench.unit).contains("discard"));
    }

    // The trace has every control and bulk transfer, in order.
    void traceRecordsEveryTransfer() {
        Bench bench;
        QTemporaryDir dir;
        const QString path = dir.filePath("usb.trace");
        SelectedBridge library(std::make_unique<VendorBridgeLibrary>("libSiUSBXp-missing.so"),
                               MakeUsbBridgeLibrary());
        QVERIFY(library.Choose(BridgeChoice::Usb));
        QVERIFY(library.TraceTo(path.toStdString()));
        BridgeTransport transport(library, bench.clock, bench.events);
        QVERIFY(transport.OpenDevice().Opened());
        std::array<std::uint8_t, 3> reply{};
        QCOMPARE(
            transport
                .DeviceTransaction(transport.Handle(), reply.data(), kStatusRequest.data(), 3, 1)
                .result,
            TransactionResult::Ok);
        transport.CloseDevice();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                lines.append(QString::fromLatin1(line).section(' ', 1));
            }
        }
        QCOMPARE(
            lines,
            QStringList({"OUT ctrl 40 02 0002 0000 result 0", "OUT ctrl 40 02 0001 0000 result 0",
                         "OUT ctrl 40 02 0001 0000 result 0", "OUT bulk 02 len 1: 02",
                         "IN  bulk 82 len 3: 00 00 01", "OUT ctrl 40 02 0004 0000 result 0"}));
    }

    // A device node the user may not open. As root the check runs in a child
    // that has given up its rights first; everything else in the test bed is
    // open to it, so that libusb can start and list the devices.
    void permissionDenied() {
        Bench bench;
        gchar* root = umockdev_testbed_get_root_dir(bench.testbed);
        const std::string node = root + bench.unit->NodePath();
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::all, error);
        }
        std::filesystem::permissions(root, std::filesystem::perms::all, error);
        g_free(root);
        QVERIFY(chmod(node.c_str(), 0600) == 0);
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                _exit(2);
            }
            bench.Start();
            const bool refused = !bench.transport->OpenDevice().Opened() &&
                                 UsbProblemText(bench.library->LastProblem()) ==
                                     "no permission to open the bridge at USB bus 1 device 7: "
                                     "install the udev rule (see the README)";
            _exit(refused ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(Log(*bench.unit).isEmpty());
    }
};

QTEST_MAIN(UsbBridgeTest)
#include "UsbBridgeTest.moc"

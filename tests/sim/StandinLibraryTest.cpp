#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>

// The stand-in library as the program meets it: loaded by path, driven only
// through its eight C functions, set up by its environment variables.
class StandinLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readTransactionThroughTheExports();
    void cleanupTestCase();

private:
    template <typename Function> Function Symbol(const char* name) {
        return reinterpret_cast<Function>(dlsym(library_, name));
    }

    QTemporaryDir dir_;
    void* library_ = nullptr;
};

void StandinLibraryTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QFile faults(dir_.filePath("faults"));
    QVERIFY(faults.open(QIODevice::WriteOnly));
    faults.write("devices 1234,2022\nmode 3\n");
    faults.close();
    // Read on the library's first use, so they are set before any call.
    setenv("SIUSBXP_SIM_LOG", qPrintable(dir_.filePath("log")), 1);
    setenv("SIUSBXP_SIM_STATE", qPrintable(dir_.filePath("state")), 1);
    setenv("SIUSBXP_SIM_FAULTS", qPrintable(dir_.filePath("faults")), 1);

    library_ = dlopen(STANDIN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(library_ != nullptr, dlerror());
    QVERIFY(dlsym(library_, "SI_GetNumDevices") != nullptr);
}

void StandinLibraryTest::readTransactionThroughTheExports() {
    using Count = int (*)(std::uint32_t*);
    using String = int (*)(std::uint32_t, void*, std::uint32_t);
    using Open = int (*)(std::uint32_t, void**);
    using Close = int (*)(void*);
    using Read = int (*)(void*, void*, std::uint32_t, std::uint32_t*, void*);
    using Write = int (*)(void*, void*, std::uint32_t, std::uint32_t*, void*);
    using Flush = int (*)(void*, unsigned char, unsigned char);
    using Queue = int (*)(void*, std::uint32_t*, std::uint32_t*);
    const auto count = Symbol<Count>("SI_GetNumDevices");
    const auto string = Symbol<String>("SI_GetProductString");
    const auto open = Symbol<Open>("SI_Open");
    const auto close = Symbol<Close>("SI_Close");
    const auto read = Symbol<Read>("SI_Read");
    const auto write = Symbol<Write>("SI_Write");
    const auto flush = Symbol<Flush>("SI_FlushBuffers");
    const auto queue = Symbol<Queue>("SI_CheckRXQueue");
    QVERIFY(count && string && open && close && read && write && flush && queue);

    std::uint32_t devices = 0;
    QCOMPARE(count(&devices), 0);
    QCOMPARE(devices, 2u);
    char serial[256] = {};
    QCOMPARE(string(1, serial, 0), 0);
    QCOMPARE(QByteArray(serial), QByteArray("2022"));

    void* handle = reinterpret_cast<void*>(~std::uintptr_t{0});
    QCOMPARE(open(1, &handle), 0);
    QCOMPARE(flush(handle, 1, 1), 0);

    unsigned char request[] = {0x11, 0x10, 0xB0, 0x00};
    std::uint32_t written = 0;
    QCOMPARE(write(handle, request, 4, &written, nullptr), 0);
    std::uint32_t waiting = 0;
    std::uint32_t queueStatus = 0;
    QCOMPARE(queue(handle, &waiting, &queueStatus), 0);
    QCOMPARE(waiting, 16u);
    unsigned char reply[16] = {};
    std::uint32_t returned = 0;
    QCOMPARE(read(handle, reply, 16, &returned, nullptr), 0);
    QCOMPARE(returned, 16u);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(reply), 8),
             QByteArray::fromHex("00FFFFFFFFFFFF00"));

    unsigned char status[] = {0x02};
    QCOMPARE(write(handle, status, 1, &written, nullptr), 0);
    QCOMPARE(read(handle, reply, 3, &returned, nullptr), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(reply), 3), QByteArray::fromHex("000103"));
    QCOMPARE(close(handle), 0);
    QVERIFY(close(handle) != 0);

    QFile log(dir_.filePath("log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("open\n11 10 B0 00\n02\nclose\n"));

    // The block read counted an EDID reading, so the state was saved, with
    // the script's mode.
    QFile state(dir_.filePath("state"));
    QVERIFY(state.open(QIODevice::ReadOnly));
    const QByteArray saved = state.readAll();
    QVERIFY(saved.contains("\nmode 3\n"));
    QVERIFY(saved.contains("\nedid-readings 1\n"));
}

void StandinLibraryTest::cleanupTestCase() {
    if (library_ != nullptr) {
        dlclose(library_);
    }
}

QTEST_APPLESS_MAIN(StandinLibraryTest)
#include "StandinLibraryTest.moc"

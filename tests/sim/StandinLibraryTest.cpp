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

private:
    QTemporaryDir dir_;
    void* library_ = nullptr;

    template <typename Function> Function Symbol(const char* name) {
        return reinterpret_cast<Function>(dlsym(library_, name));
    }
    QByteArray Contents(const char* name) {
        QFile file(dir_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    void Write(const char* name, const QByteArray& contents) {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        Write("faults", "devices 1234,2022\nmode 3\n");
        Write("state", "talvo-sim-state 1\nedid-readings 41\n");
        // Read on the library's first use, so they are set before any call.
        setenv("SIUSBXP_SIM_LOG", qPrintable(dir_.filePath("log")), 1);
        setenv("SIUSBXP_SIM_STATE", qPrintable(dir_.filePath("state")), 1);
        setenv("SIUSBXP_SIM_FAULTS", qPrintable(dir_.filePath("faults")), 1);
        library_ = dlopen(STANDIN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(library_ != nullptr, dlerror());
    }

    void transactionsThroughTheExports() {
        using Transfer = int (*)(void*, void*, std::uint32_t, std::uint32_t*, void*);
        const auto count = Symbol<int (*)(std::uint32_t*)>("SI_GetNumDevices");
        const auto string =
            Symbol<int (*)(std::uint32_t, void*, std::uint32_t)>("SI_GetProductString");
        const auto open = Symbol<int (*)(std::uint32_t, void**)>("SI_Open");
        const auto close = Symbol<int (*)(void*)>("SI_Close");
        const auto read = Symbol<Transfer>("SI_Read");
        const auto write = Symbol<Transfer>("SI_Write");
        const auto flush = Symbol<int (*)(void*, unsigned char, unsigned char)>("SI_FlushBuffers");
        const auto queue =
            Symbol<int (*)(void*, std::uint32_t*, std::uint32_t*)>("SI_CheckRXQueue");
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

        unsigned char blockRead[] = {0x11, 0x10, 0xB0, 0x00};
        std::uint32_t length = 0;
        QCOMPARE(write(handle, blockRead, 4, &length, nullptr), 0);
        std::uint32_t queueStatus = 0;
        QCOMPARE(queue(handle, &length, &queueStatus), 0);
        QCOMPARE(length, 16u);
        unsigned char reply[16] = {};
        QCOMPARE(read(handle, reply, 16, &length, nullptr), 0);
        QCOMPARE(length, 16u);

        // The readings go on from the loaded state; the mode is the script's.
        unsigned char status[] = {0x02};
        QCOMPARE(write(handle, status, 1, &length, nullptr), 0);
        QCOMPARE(read(handle, reply, 3, &length, nullptr), 0);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(reply), int(length)),
                 QByteArray::fromHex("002A03"));
        QCOMPARE(close(handle), 0);

        QCOMPARE(Contents("log"), QByteArray("open\n11 10 B0 00\n02\nclose\n"));
        const QByteArray saved = Contents("state");
        QVERIFY(saved.contains("\nmode 3\n"));
        QVERIFY(saved.contains("\nedid-readings 42\n"));
    }

    void cleanupTestCase() {
        if (library_ != nullptr) {
            dlclose(library_);
        }
    }
};

QTEST_APPLESS_MAIN(StandinLibraryTest)
#include "StandinLibraryTest.moc"

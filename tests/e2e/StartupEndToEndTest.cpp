#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The built program, started with the stand-in bridge library on its library
// path, as a user would start it.
class StartupEndToEndTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QStringList LogLines() const {
        QFile log(Path("requests.log"));
        if (!log.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // Starts the program, waits until the log holds the given number of lines
    // or limitMs have passed, then stops it; gives the log.
    QStringList RunUntil(int lines, const QByteArray& faults = {}, int limitMs = 20000) {
        QFile script(Path("faults.txt"));
        if (!script.open(QIODevice::WriteOnly) || script.write(faults) != faults.size()) {
            return {"cannot write the fault script"};
        }
        script.close();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("LD_LIBRARY_PATH", STANDIN_LIBRARY_DIR);
        environment.insert("SIUSBXP_SIM_LOG", Path("requests.log"));
        environment.insert("SIUSBXP_SIM_STATE", Path("unit.state"));
        environment.insert("SIUSBXP_SIM_FAULTS", Path("faults.txt"));
        program.setProcessEnvironment(environment);
        program.start(PROGRAM_PATH, {});
        if (!program.waitForStarted()) {
            return {"the program did not start"};
        }
        QElapsedTimer waited;
        waited.start();
        while (LogLines().size() < lines && waited.elapsed() < limitMs &&
               program.state() == QProcess::Running) {
            QTest::qWait(50);
        }
        // Whatever it would send next has had time to show up.
        QTest::qWait(300);
        const bool stillRunning = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QStringList log = LogLines();
        if (!stillRunning) {
            log.append("the program ended by itself");
        }
        return log;
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QFile::remove(Path("requests.log"));
        QFile::remove(Path("unit.state"));
    }

    void startupSendsTheSyncAndTheRead() {
        QStringList expected{"open", "close", "open", "02", "close", "open"};
        for (int chunk = 0; chunk < 16; ++chunk) {
            expected.append(
                QStringLiteral("11 10 B0 %1").arg(chunk * 16, 2, 16, QChar('0')).toUpper());
        }
        expected << "02 10 B0 F0 00 00 00 00"
                 << "close";
        QCOMPARE(RunUntil(expected.size()), expected);
    }

    void startupWithoutUnitSendsNothing() {
        QCOMPARE(RunUntil(1, "devices 1234\n", 1500), QStringList{});
    }
};

QTEST_GUILESS_MAIN(StartupEndToEndTest)
#include "StartupEndToEndTest.moc"

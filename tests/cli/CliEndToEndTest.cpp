#include "CliCases.h"
#include "CliFixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace cli_fixtures;

// The built talvo-edid on the stand-in bridge library, as a script runs it:
// output through pipes, the unit's requests from the library's log.
class CliEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void commandLines_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(std::size(kCliCases)); ++i) {
            if (kCliCases[i].endToEnd) {
                QTest::newRow(kCliCases[i].name) << i;
            }
        }
    }

    void commandLines() {
        QFETCH(int, index);
        const CliCase& c = kCliCases[index];
        QTemporaryDir dir;
        QVERIFY(WriteFixtures(QDir(dir.path())));
        const QString faults = QString::fromLatin1(c.faults);
        QFile script(dir.filePath("faults.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString(faults).replace(';', '\n').toLatin1());
        script.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!faults.contains("nolibrary")) {
            environment.insert("LD_LIBRARY_PATH", STANDIN_LIBRARY_DIR);
        }
        environment.insert("SIUSBXP_SIM_LOG", dir.filePath("requests.log"));
        environment.insert("SIUSBXP_SIM_STATE", dir.filePath("unit.state"));
        environment.insert("SIUSBXP_SIM_FAULTS", script.fileName());
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(TOOL_PATH, Arguments(QString::fromLatin1(c.arguments), QDir(dir.path())));
        QVERIFY(tool.waitForFinished(60000));

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), c.status);
        const auto matches = [](const QByteArray& text, const char* pattern) {
            return QRegularExpression(QString::fromUtf8(pattern),
                                      QRegularExpression::DotMatchesEverythingOption)
                .match(QString::fromUtf8(text))
                .hasMatch();
        };
        const QByteArray out = tool.readAllStandardOutput();
        const QByteArray err = tool.readAllStandardError();
        QVERIFY2(matches(out, c.out), out.constData());
        QVERIFY2(matches(err, c.err), err.constData());
        if (c.requests != nullptr) {
            QFile log(dir.filePath("requests.log"));
            const QStringList lines =
                log.open(QIODevice::ReadOnly)
                    ? QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts)
                    : QStringList();
            QCOMPARE(RequestsOf(lines), ExpectedRequests(QString::fromLatin1(c.requests)));
        }
    }
};

QTEST_GUILESS_MAIN(CliEndToEndTest)
#include "CliEndToEndTest.moc"

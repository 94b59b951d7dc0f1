// Histories that cannot be used: the program must start, keep running, leave the user's files
// exactly as they were and keep its drinks (in the settings) for a file that can take them.
//
// The program's part runs in a child ("run" as argument) so that it can be started without
// the privileges that would let it write into a read-only folder anyway.
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <memory>

#include "CDrinkStatistics.h"
#include "core/CSystemUtil.h"
#include "TestHome.h"
#include "clock.h"

namespace {
// The child could still write into the folder that should be read-only.
constexpr int kNotReadOnly = 77;
constexpr qint64 kFirstDrink = 1796520000;

int RunProgram(bool readOnly)
{
    if (readOnly) {
        QFile probe(CSystemUtil::DataFolder() + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            return kNotReadOnly;
        }
    }
    CDrinkStatistics* stats = CDrinkStatistics::Instance();
    if (!stats->WaitUntilSaved(10000))
        return 1;
    stTotalsData totals;
    const int history = stats->GetTotals(totals) ? totals.nTotalDrinkNum : -1;
    CClock::Set(kFirstDrink + 86400);
    stats->RecordDrink(250);
    CClock::Advance(60);
    stats->RecordDrink(250);
    std::printf("history=%d days=%d unsaved=%d\n", history, stats->DayCount(), stats->UnsavedDrinks());
    return 0;
}

// Every file under the folder with a digest of its bytes; the settings, which keep the drinks the
// history could not take, aside.
QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == QLatin1String("QzConfig.ini"))
            continue;
        QFile file(path);
        QByteArray digest = "folder";
        if (it.fileInfo().isFile() && file.open(QIODevice::ReadOnly))
            digest = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
        files.insert(QDir(folder).relativeFilePath(path), digest);
    }
    return files;
}
}

class TestDrinkBadFiles : public QObject
{
    Q_OBJECT
private slots:
    void programRunsWithoutHistory_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("history");
        QTest::newRow("file of random bytes") << "random" << -1;
        QTest::newRow("read-only folder with a history") << "readonly-history" << 150;
        QTest::newRow("read-only empty folder") << "readonly-empty" << -1;
        QTest::newRow("folder in place of the file") << "folder" << -1;
    }
    void programRunsWithoutHistory()
    {
        QFETCH(QString, setup);
        QFETCH(int, history);
        CTestHome home;
        const QString folder = CSystemUtil::DataFolder();
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + QStringLiteral("/HealthConfig.db");

        if (setup == QLatin1String("random")) {
            QFile bytes(file);
            QVERIFY(bytes.open(QIODevice::WriteOnly));
            QRandomGenerator random(5);
            QByteArray data(64 * 1024, Qt::Uninitialized);
            for (char& c : data)
                c = char(random.bounded(256));
            bytes.write(data);
        } else if (setup == QLatin1String("readonly-history")) {
            CDrinkStatistics stats;
            CClock::Set(kFirstDrink);
            stats.RecordDrink(150);
            QVERIFY(stats.WaitUntilSaved(10000));
        } else if (setup == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(file));
            QFile keep(file + QStringLiteral("/keep"));
            QVERIFY(keep.open(QIODevice::WriteOnly));
            keep.write("the user's own");
        }

        const bool readOnly = setup.startsWith(QLatin1String("readonly"));
        QString program = QCoreApplication::applicationFilePath();
        QStringList arguments{QStringLiteral("run")};
        if (readOnly) {
            arguments << QStringLiteral("readonly");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup));
            // A privileged user writes through the permissions: drop that power for the child.
            QFile probe(folder + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
                if (setpriv.isEmpty())
                    QSKIP("running privileged and setpriv is missing");
                arguments.prepend(program);
                arguments.prepend(QStringLiteral("--bounding-set=-dac_override,-dac_read_search"));
                program = setpriv;
            }
        }
        const QMap<QString, QByteArray> before = Snapshot(home.DataFolder());

        QProcess child;
        child.start(program, arguments);
        QVERIFY(child.waitForFinished(20000));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (child.exitCode() == kNotReadOnly)
            QSKIP("cannot make a folder read-only here");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QByteArray output = child.readAllStandardOutput();
        QVERIFY2(output.startsWith(QStringLiteral("history=%1 ").arg(history).toUtf8()), output.constData());
        QVERIFY2(output.contains("unsaved=2"), output.constData());

        QCOMPARE(Snapshot(home.DataFolder()), before);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "run") == 0)
        return RunProgram(argc == 3 && qstrcmp(argv[2], "readonly") == 0);
    TestDrinkBadFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_drinkbadfiles.moc"

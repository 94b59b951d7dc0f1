// The history exported as CSV, over a real store, with the clock pinned to local moments.
#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

#include "CDrinkHistoryExport.h"
#include "CDrinkSampleHistory.h"
#include "CDrinkStatistics.h"
#include "CDrinkTotalRecord.h"
#include "CHealthDatabase.h"
#include "core/CIniSettings.h"
#include "NearlyFullDisk.h"
#include "TestHome.h"
#include "clock.h"

namespace {
// Stands for a translation whose header text needs quoting.
class CQuotingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "CDrinkHistoryExport") == 0 && QString::fromUtf8(source) == QStringLiteral("毫升"))
            return QStringLiteral("ml, \"drunk\"");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

QByteArray Digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5);
}

// Answers the windows the export opens, as the user would: the file dialog gets `typed`, Qt's
// question whether to replace a file gets yes, and each message box's text is kept.
class CDialogAnswers : public QObject
{
public:
    CDialogAnswers(const QString& typed, QStringList& boxes)
        : m_typed(typed)
        , m_boxes(boxes)
    {
        connect(&m_poll, &QTimer::timeout, this, &CDialogAnswers::Answer);
        m_poll.start(20);
    }

private:
    void Answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(m_typed);
            // Queued: Qt's question whether to replace the file runs a loop of its own, and this
            // timer fires again only once its call has returned.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            m_boxes << QLatin1String(box->icon() == QMessageBox::Warning ? "warning: " : "information: ") + box->text();
            QAbstractButton* answer = box->button(QMessageBox::Yes);
            QMetaObject::invokeMethod(answer ? answer : box->button(QMessageBox::Ok), "click", Qt::QueuedConnection);
        }
    }

    QString m_typed;
    QStringList& m_boxes;
    QTimer m_poll;
};
}

class TestDrinkHistoryExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void knownHistory();
    void quotedFields();
    void unwritableTarget_data();
    void unwritableTarget();
    void exportFromTheRecordsPage_data();
    void exportFromTheRecordsPage();

private:
    void Drink(const QString& local, int amount);

    CTestHome* m_home = nullptr;
    std::unique_ptr<CHealthDatabase> m_db;
    std::unique_ptr<CDrinkStatistics> m_stats;
};

void TestDrinkHistoryExport::init()
{
    m_home = new CTestHome;
    CIniSettings::Instance()->SetDrinksTarget(1500);
    m_stats = std::make_unique<CDrinkStatistics>();
    m_stats->LoadAll();
    QVERIFY(m_stats->WaitUntilSaved(10000));
    // The statistics write on a thread of their own; the export reads on this one.
    m_db = std::make_unique<CHealthDatabase>(QStringLiteral("export"));
    m_db->OpenDatabase();
}

void TestDrinkHistoryExport::cleanup()
{
    m_stats.reset();
    m_db.reset();
    CClock::Release();
    CIniSettings::Destroy();
    delete m_home;
}

void TestDrinkHistoryExport::Drink(const QString& local, int amount)
{
    CClock::SetLocal(QDateTime::fromString(local, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    m_stats->RecordDrink(amount);
}

// Local dates and times (the test runs at UTC+8), drinks in time order, one row per day with its
// total, count and target; the history file itself is left as it was.
void TestDrinkHistoryExport::knownHistory()
{
    Drink(QStringLiteral("2026-12-05 14:05:00"), 1000);
    Drink(QStringLiteral("2026-12-05 08:30:15"), 500);
    Drink(QStringLiteral("2026-12-06 00:00:00"), 250);
    Drink(QStringLiteral("2026-12-07 23:59:59"), 300);
    Drink(QStringLiteral("2026-12-07 07:45:00"), 1200);
    QVERIFY(m_stats->WaitUntilSaved(10000));
    const QByteArray before = Digest(m_db->FileName());
    QVERIFY(!before.isEmpty());

    const QString target = m_home->Path() + QStringLiteral("/history.csv");
    CDrinkHistoryExport history(m_db.get());
    QVERIFY2(history.Write(target), qPrintable(history.ErrorString()));
    QVERIFY(history.ErrorString().isEmpty());

    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QStringLiteral("\uFEFF日期,时间,毫升\r\n"
                                            "2026-12-05,08:30:15,500\r\n"
                                            "2026-12-05,14:05:00,1000\r\n"
                                            "2026-12-06,00:00:00,250\r\n"
                                            "2026-12-07,07:45:00,1200\r\n"
                                            "2026-12-07,23:59:59,300\r\n"
                                            "\r\n"
                                            "日期,总量(毫升),喝水次数,是否达标\r\n"
                                            "2026-12-05,1500,2,是\r\n"
                                            "2026-12-06,250,1,否\r\n"
                                            "2026-12-07,1500,2,是\r\n")
                                 .toUtf8());
    QCOMPARE(Digest(m_db->FileName()), before);
}

void TestDrinkHistoryExport::quotedFields()
{
    CQuotingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const QByteArray csv = CDrinkHistoryExport::Csv({}, {});
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(csv.left(csv.indexOf("\r\n")), QStringLiteral("\uFEFF日期,时间,\"ml, \"\"drunk\"\"\"").toUtf8());
}

void TestDrinkHistoryExport::unwritableTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("missing/history.csv");
    QTest::newRow("folder is a file") << QStringLiteral("plain/history.csv");
    QTest::newRow("target is a folder") << QStringLiteral("folder");
}

// The reason is given, and nothing is left behind: no file, no half-written temporary one.
void TestDrinkHistoryExport::unwritableTarget()
{
    QFETCH(QString, target);
    Drink(QStringLiteral("2026-12-05 08:30:00"), 500);
    QDir home(m_home->Path());
    QVERIFY(home.mkdir(QStringLiteral("folder")));
    QFile plain(home.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QStringList before = home.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    CDrinkHistoryExport history(m_db.get());
    QVERIFY(!history.Write(home.filePath(target)));
    QVERIFY(history.ErrorString().contains(QDir::toNativeSeparators(home.filePath(target))));
    QCOMPARE(home.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    QVERIFY(QDir(home.filePath(QStringLiteral("folder"))).isEmpty());
    QCOMPARE(QFileInfo(home.filePath(QStringLiteral("plain"))).size(), 0);
}

void TestDrinkHistoryExport::exportFromTheRecordsPage_data()
{
    QTest::addColumn<bool>("onFullDisk");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("a name without its suffix") << false << QStringLiteral("mine") << QStringLiteral("mine.csv");
    QTest::newRow("over a file on a nearly full disk") << true << QStringLiteral("old.csv") << QStringLiteral("old.csv");
}

// A month of history makes a file longer than the disk has room for: the user is told, and the
// file that was there is left byte for byte.
void TestDrinkHistoryExport::exportFromTheRecordsPage()
{
    QFETCH(bool, onFullDisk);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    CDrinkSampleHistory::Write(*m_stats, QDateTime(QDate(2026, 12, 7), QTime(20, 0)), 30);
    CNearlyFullDisk disk;
    const QDir folder(onFullDisk ? disk.Path() : m_home->Path());
    const QString target = folder.filePath(written);
    const QByteArray old = "Date,Time,Millilitres\r\n2020-01-01,08:00:00,250\r\n";
    if (onFullDisk) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }

    CDrinkTotalRecord page(nullptr, m_stats.get());
    page.show();
    QStringList boxes;
    CDialogAnswers answers(folder.filePath(typed), boxes);
    disk.Fill();
    page.findChild<QPushButton*>(QStringLiteral("btn_export"))->click();
    disk.Release();

    QVERIFY(!boxes.isEmpty());
    QVERIFY2(boxes.constLast().startsWith(QLatin1String(onFullDisk ? "warning: " : "information: "))
            && boxes.constLast().contains(QDir::toNativeSeparators(target)),
        qPrintable(boxes.constLast()));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (onFullDisk) {
        QCOMPARE(bytes, old);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList{written});
    } else {
        QVERIFY(bytes.size() > CNearlyFullDisk::FreeBytes);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
    }
}

QTEST_MAIN(TestDrinkHistoryExport)
#include "tst_drinkhistoryexport.moc"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "ChineseText.h"

namespace {
struct stMessage
{
    QString strContext;
    QString strSource;
    QString strTranslation;
    // The translation's type attribute: "unfinished", "obsolete" or "vanished"; empty when done.
    QString strType;
};

QVector<stMessage> ReadTs(const QString& path)
{
    QVector<stMessage> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            stMessage message{context, QString(), QString(), QString()};
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    message.strSource = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    message.strType = xml.attributes().value(QLatin1String("type")).toString();
                    message.strTranslation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    xml.skipCurrentElement();
                }
            }
            messages.append(message);
        }
    }
    return xml.hasError() ? QVector<stMessage>() : messages;
}

QString Key(const stMessage& message)
{
    return message.strContext + QLatin1String(" | ") + message.strSource;
}

// The placeholders %1, %2 … a text fills in, as a sorted list.
QStringList Placeholders(const QString& text)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%\\d+")).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured());
    found.sort();
    return found;
}

QString TsPath(const QString& program)
{
    return QStringLiteral(QZ_SOURCE_DIR "/translations/%1_en.ts").arg(program);
}
}

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void complete_data();
    void complete();
    void upToDate_data();
    void upToDate();
};

void TestTranslations::complete_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("tray program") << QStringLiteral("QzHealthManager");
    QTest::newRow("updater") << QStringLiteral("QzLiveUpdate");
}

// Every text has a finished English translation that fills in the same placeholders, with no
// Chinese left in it.
void TestTranslations::complete()
{
    QFETCH(QString, program);
    const QVector<stMessage> messages = ReadTs(TsPath(program));
    QVERIFY2(!messages.isEmpty(), qPrintable(TsPath(program)));
    QStringList faults;
    for (const stMessage& message : messages) {
        if (!message.strType.isEmpty())
            faults.append(message.strType + QLatin1String(": ") + Key(message));
        else if (message.strTranslation.trimmed().isEmpty())
            faults.append(QLatin1String("empty: ") + Key(message));
        else if (Placeholders(message.strSource) != Placeholders(message.strTranslation))
            faults.append(QLatin1String("placeholders differ: ") + Key(message));
        else if (HasChinese(message.strTranslation))
            faults.append(QLatin1String("Chinese in the English: ") + Key(message));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::upToDate_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("folders");
    QTest::newRow("tray program") << QStringLiteral("QzHealthManager") << QStringLiteral(QZ_FOLDERS_MANAGER);
    QTest::newRow("updater") << QStringLiteral("QzLiveUpdate") << QStringLiteral(QZ_FOLDERS_UPDATER);
}

// The texts the code marks for translation are exactly those of the .ts file: a new text must be
// added to it (the update_translations target) and translated, a removed one taken out.
void TestTranslations::upToDate()
{
    QFETCH(QString, program);
    QFETCH(QString, folders);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString fresh = scratch.filePath(QStringLiteral("fresh.ts"));
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
        QStringLiteral("-I"), QStringLiteral(QZ_SOURCE_DIR)};
    for (const QString& folder : folders.split(QLatin1Char(',')))
        arguments.append(QStringLiteral(QZ_SOURCE_DIR "/") + folder);
    arguments << QStringLiteral("-ts") << fresh;
    QProcess lupdate;
    lupdate.start(QStringLiteral(QZ_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QSet<QString> inCode;
    for (const stMessage& message : ReadTs(fresh))
        inCode.insert(Key(message));
    QSet<QString> inFile;
    for (const stMessage& message : ReadTs(TsPath(program)))
        inFile.insert(Key(message));
    QVERIFY(!inCode.isEmpty());
    QStringList missing = (inCode - inFile).values();
    missing.sort();
    QStringList stale = (inFile - inCode).values();
    stale.sort();
    QVERIFY2(missing.isEmpty(), qPrintable(QLatin1String("not in the .ts file:\n") + missing.join(QLatin1Char('\n'))));
    QVERIFY2(stale.isEmpty(), qPrintable(QLatin1String("no longer in the code:\n") + stale.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "core/CLanguage.h"
#include "core/CLineHeightFit.h"

namespace {
// Run as a child: installs the tray program's translation as the program does and prints what
// came of it, so that each case meets Qt's own reading of a fresh environment.
const char* const kChildWord = "--install";
}

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void latinTailsFit();
};

void TestLanguage::choice_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << QStringList() << false;
    QTest::newRow("C") << QStringList{"LANG=C"} << false;
    QTest::newRow("C.UTF-8") << QStringList{"LANG=C.UTF-8"} << false;
    QTest::newRow("POSIX") << QStringList{"LC_ALL=POSIX"} << false;
    QTest::newRow("simplified Chinese") << QStringList{"LANG=zh_CN.UTF-8"} << false;
    QTest::newRow("traditional Chinese") << QStringList{"LANG=zh_TW.UTF-8"} << false;
    QTest::newRow("Hong Kong") << QStringList{"LANG=zh_HK.UTF-8"} << false;
    QTest::newRow("English") << QStringList{"LANG=en_US.UTF-8"} << true;
    QTest::newRow("German") << QStringList{"LANG=de_DE.UTF-8"} << true;
    QTest::newRow("French, no codeset") << QStringList{"LANG=fr_FR"} << true;
    QTest::newRow("LANGUAGE before LANG") << QStringList{"LANGUAGE=en", "LANG=zh_CN.UTF-8"} << true;
    QTest::newRow("LANGUAGE lists Chinese first") << QStringList{"LANGUAGE=zh_CN:en", "LANG=en_US.UTF-8"} << false;
    QTest::newRow("LANGUAGE lists Chinese second") << QStringList{"LANGUAGE=de:zh_CN", "LANG=zh_CN.UTF-8"} << true;
    QTest::newRow("LANGUAGE over the C locale") << QStringList{"LANGUAGE=en", "LANG=C"} << true;
    QTest::newRow("LC_ALL before LANG") << QStringList{"LC_ALL=en_GB.UTF-8", "LANG=zh_CN.UTF-8"} << true;
    QTest::newRow("LC_ALL before LC_MESSAGES")
        << QStringList{"LC_ALL=zh_CN.UTF-8", "LC_MESSAGES=en_US.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES before LANG") << QStringList{"LC_MESSAGES=zh_CN.UTF-8", "LANG=en_US.UTF-8"} << false;
    QTest::newRow("unknown language") << QStringList{"LANG=xx_YY"} << true;
}

void TestLanguage::choice()
{
    QFETCH(QStringList, environment);
    QFETCH(bool, english);

    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        variables.remove(QLatin1String(name));
    for (const QString& assignment : environment)
        variables.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    QProcess child;
    child.setProcessEnvironment(variables);
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildWord)});
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitCode(), 0);

    // The language chosen, a text as the program would show it, and a button of Qt's own dialogs.
    const QStringList answer = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(answer.value(0), QLatin1String(english ? "English" : "Chinese"));
    QCOMPARE(answer.value(1), english ? QStringLiteral("Check for updates") : QStringLiteral("检查更新"));
    QCOMPARE(answer.value(2), english ? QStringLiteral("Cancel") : QStringLiteral("取消"));
}

// A text placed 12 pixels high for Chinese grows to its font's line, around the same centre line
// (or from its top when aligned to the top); pictures, icons and widgets in layouts stay as placed.
void TestLanguage::latinTailsFit()
{
    QWidget window;
    QFont font = window.font();
    font.setPixelSize(12);
    window.setFont(font);
    CLineHeightFit fit;
    qApp->installEventFilter(&fit);

    auto* centred = new QLabel(QStringLiteral("Per day:"), &window);
    centred->setGeometry(24, 101, 64, 12);
    auto* top = new QLabel(QStringLiteral("Reminders that care for you"), &window);
    top->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    top->setGeometry(68, 52, 162, 12);
    auto* link = new QPushButton(QStringLiteral("History"), &window);
    link->setGeometry(170, 314, 48, 12);
    auto* icon = new QPushButton(&window);
    icon->setGeometry(256, 8, 12, 12);
    auto* picture = new QLabel(&window);
    picture->setGeometry(219, 9, 10, 10);
    auto* row = new QWidget(&window);
    auto* layout = new QHBoxLayout(row);
    auto* laidOut = new QLabel(QStringLiteral("Quit"), row);
    layout->addWidget(laidOut);
    window.show();
    const QRect laidOutPlace = laidOut->geometry();
    laidOut->hide();
    laidOut->show();
    qApp->removeEventFilter(&fit);

    const int line = QFontMetrics(font).height();
    QVERIFY(line > 12);
    QCOMPARE(centred->geometry(), QRect(24, 101 - (line - 12) / 2, 64, line));
    QCOMPARE(top->geometry(), QRect(68, 52, 162, line));
    QCOMPARE(link->geometry(), QRect(170, 314 - (line - 12) / 2, 48, line));
    QCOMPARE(icon->geometry(), QRect(256, 8, 12, 12));
    QCOMPARE(picture->geometry(), QRect(219, 9, 10, 10));
    QCOMPARE(laidOut->geometry(), laidOutPlace);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kChildWord) == 0) {
        const CLanguage::Language chosen = CLanguage::Install(QStringLiteral("QzHealthManager"));
        const bool agrees = chosen == CLanguage::Current();
        const QString answer = QLatin1String(chosen == CLanguage::English ? "English\n" : "Chinese\n")
            + QCoreApplication::translate("CMenuObject", "检查更新") + QLatin1Char('\n')
            + QCoreApplication::translate("QPlatformTheme", "Cancel") + QLatin1Char('\n');
        QFile out;
        out.open(stdout, QIODevice::WriteOnly);
        out.write(answer.toUtf8());
        return agrees ? 0 : 1;
    }
    TestLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_language.moc"

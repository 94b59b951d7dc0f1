#include <QDir>
#include <QFile>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLabel>
#include <QSettings>
#include <QTest>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "CMindQuizSettings.h"
#include "CRelaxFullShowWindow.h"
#include "core/CSystemUtil.h"
#include "TestHome.h"
#include "clock.h"

namespace {
const QString kBuiltInQuiz = QStringLiteral("一只老虎被一根85米长的绳子捆着，它前方100米处有一堆草，老虎怎么样才能吃到草？");
const QString kBuiltInAnswer = QStringLiteral("老虎不吃草");

QString SidewaysText(CRelaxFullShowWindow& window, const char* view)
{
    QGraphicsScene* scene = window.findChild<QGraphicsView*>(QLatin1String(view))->scene();
    for (QGraphicsItem* item : scene->items()) {
        if (auto* proxy = dynamic_cast<QGraphicsProxyWidget*>(item))
            return static_cast<QLabel*>(proxy->widget())->text();
    }
    return QString();
}
}

class TestMindQuiz : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lineBreaks_data();
    void lineBreaks();
    void shippedFileIsComplete_data();
    void shippedFileIsComplete();
    void englishQuizFile();
    void questionAndAnswerSideways();
    void pagingAroundTheBase_data();
    void pagingAroundTheBase();
    void incompleteQuizFallsBack();
    void missingFileFallsBack();
    void otherContents();

private:
    void WriteUserQuiz(const QString& text);
    // Pins the clock to a moment whose random pick is `base`.
    void PinBase(int base);

    CTestHome* m_home = nullptr;
};

void TestMindQuiz::init()
{
    m_home = new CTestHome;
}

void TestMindQuiz::cleanup()
{
    CMindQuizSettings::Destroy();
    CIniSettings::Destroy();
    delete m_home;
}

void TestMindQuiz::WriteUserQuiz(const QString& text)
{
    QDir().mkpath(CSystemUtil::DataFolder());
    QFile file(CSystemUtil::DataFolder() + QStringLiteral("/MindQuiz.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

void TestMindQuiz::PinBase(int base)
{
    const QDateTime start(QDate(2026, 12, 7), QTime(10, 0));
    for (int msecs = 0; msecs < 60000; ++msecs) {
        CClock::SetLocal(start.addMSecs(msecs));
        if (CCommon::Random(CRelaxFullShowWindow::QuizCount - 1) == base)
            return;
    }
    QFAIL("no moment picks that quiz");
}

void TestMindQuiz::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("broken");
    const QString forty = QStringLiteral("一二三四五六七八九十").repeated(4);
    QTest::newRow("question of 40") << forty << 16
                                    << forty.left(16) + '\n' + forty.mid(16, 16) + '\n' + forty.mid(32);
    const QString answer = QStringLiteral("甲乙丙丁戊己庚辛壬癸子").repeated(2);
    QTest::newRow("answer of 22") << answer << 11 << answer.left(11) + '\n' + answer.mid(11) + '\n';
    QTest::newRow("short question") << QStringLiteral("猜一猜") << 16 << QStringLiteral("猜一猜");
    QTest::newRow("exactly one step") << QStringLiteral("一二三四五六七八九十子") << 11
                                      << QStringLiteral("一二三四五六七八九十子\n");
    QTest::newRow("Chinese with a space") << QStringLiteral("一二三 四五六七八九十子") << 11
                                          << QStringLiteral("一二三 四五六七八九十\n子");
    QTest::newRow("English question") << QStringLiteral("What has a head but no feet, and an eye but cannot see?") << 16
                                      << QStringLiteral("What has a head but no feet, and\nan eye but cannot see?");
    QTest::newRow("word longer than a line") << QStringLiteral("a  supercalifragilisticexpialidocious b") << 11
                                             << QStringLiteral("a\nsupercalifragilisticexpialidocious\nb");
}

void TestMindQuiz::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(int, step);
    QFETCH(QString, broken);
    QCOMPARE(CRelaxFullShowWindow::BreakLines(text, step), broken);
}

void TestMindQuiz::shippedFileIsComplete_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("Chinese") << QStringLiteral(QZ_SHIPPED_QUIZ);
    QTest::newRow("English") << QStringLiteral(QZ_SHIPPED_QUIZ_EN);
}

void TestMindQuiz::shippedFileIsComplete()
{
    QFETCH(QString, path);
    QSettings shipped(path, QSettings::IniFormat);
    shipped.setIniCodec("UTF-8");
    QCOMPARE(shipped.status(), QSettings::NoError);
    QCOMPARE(shipped.childGroups().count(), 80);
    QSet<QString> questions;
    for (int number = 0; number < 80; ++number) {
        const QString section = QStringLiteral("MindQuiz%1").arg(number);
        const QVariant quiz = shipped.value(section + QStringLiteral("/quiz"));
        const QVariant answer = shipped.value(section + QStringLiteral("/answer"));
        QVERIFY2(quiz.type() == QVariant::String && !quiz.toString().isEmpty(), qPrintable(section));
        QVERIFY2(answer.type() == QVariant::String && !answer.toString().isEmpty(), qPrintable(section));
        questions.insert(quiz.toString());
    }
    QCOMPARE(questions.count(), 80);
}

// English reads MindQuiz_en.ini where the data files are looked for, and the Chinese quizzes when
// there is none; Chinese never reads the English file.
void TestMindQuiz::englishQuizFile()
{
    const QString chinese = CSystemUtil::DataFolder() + QStringLiteral("/MindQuiz.ini");
    const QString english = CSystemUtil::DataFolder() + QStringLiteral("/MindQuiz_en.ini");
    WriteUserQuiz(QStringLiteral("[MindQuiz0]\nquiz=\"问\"\nanswer=\"答\"\n"));
    QCOMPARE(CMindQuizSettings::FileName(CLanguage::English), chinese);
    QVERIFY(QFile::copy(QStringLiteral(QZ_SHIPPED_QUIZ_EN), english));
    QCOMPARE(CMindQuizSettings::FileName(CLanguage::English), english);
    QCOMPARE(CMindQuizSettings::FileName(CLanguage::Chinese), chinese);
}

void TestMindQuiz::questionAndAnswerSideways()
{
    QDir().mkpath(CSystemUtil::DataFolder());
    QVERIFY(QFile::copy(QStringLiteral(QZ_SHIPPED_QUIZ), CSystemUtil::DataFolder() + QStringLiteral("/MindQuiz.ini")));
    PinBase(6);
    CRelaxFullShowWindow window(nullptr);
    window.SetContentKind(CRelaxFullShowWindow::Quiz);
    QCOMPARE(window.QuizNumber(), 6);
    QCOMPARE(window.AdsPosition(), 4);
    const QString quiz = CMindQuizSettings::Instance()->GetQuiz(QStringLiteral("MindQuiz6"));
    QVERIFY(quiz.contains(QStringLiteral("小明")));
    QCOMPARE(SidewaysText(window, "graphicsViewLeft"), CRelaxFullShowWindow::BreakLines(quiz, 16));
    QCOMPARE(SidewaysText(window, "graphicsViewRight"), QStringLiteral("小明"));
    QCOMPARE(window.findChild<QGraphicsView*>(QStringLiteral("graphicsViewLeft"))->transform().map(QPointF(1, 0)),
        QPointF(0, -1));
    QCOMPARE(window.findChild<QGraphicsView*>(QStringLiteral("graphicsViewRight"))->transform().map(QPointF(1, 0)),
        QPointF(0, 1));
}

void TestMindQuiz::pagingAroundTheBase_data()
{
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QList<int>>("shown");
    QTest::newRow("78, right twice") << 78 << QStringLiteral("RR") << QList<int>{79, 0};
    QTest::newRow("78, left three times") << 78 << QStringLiteral("LLL") << QList<int>{77, 76, 0};
    QTest::newRow("78, right five times comes back") << 78 << QStringLiteral("RRRRR") << QList<int>{79, 0, 76, 77, 78};
    QTest::newRow("0, left does nothing") << 0 << QStringLiteral("L") << QList<int>{0};
    QTest::newRow("0, right") << 0 << QStringLiteral("R") << QList<int>{1};
}

void TestMindQuiz::pagingAroundTheBase()
{
    QFETCH(int, base);
    QFETCH(QString, presses);
    QFETCH(QList<int>, shown);
    WriteUserQuiz(QString());
    PinBase(base);
    CRelaxFullShowWindow window(nullptr);
    window.SetContentKind(CRelaxFullShowWindow::Quiz);
    QCOMPARE(window.QuizNumber(), base);
    for (int press = 0; press < presses.size(); ++press) {
        if (presses.at(press) == QLatin1Char('L'))
            window.OnLeft_Click();
        else
            window.OnRight_Click();
        QCOMPARE(window.QuizNumber(), shown.at(press));
    }
}

void TestMindQuiz::incompleteQuizFallsBack()
{
    WriteUserQuiz(QStringLiteral("[MindQuiz3]\nquiz=\"只有问题\"\nanswer=\n[MindQuiz4]\nquiz=一, 二\nanswer=三\n"));
    PinBase(3);
    CRelaxFullShowWindow window(nullptr);
    window.SetContentKind(CRelaxFullShowWindow::Quiz);
    QCOMPARE(SidewaysText(window, "graphicsViewLeft"), CRelaxFullShowWindow::BreakLines(kBuiltInQuiz, 16));
    QCOMPARE(SidewaysText(window, "graphicsViewRight"), kBuiltInAnswer);
    // An unquoted comma in a user's copy stays part of the question.
    window.OnRight_Click();
    QCOMPARE(SidewaysText(window, "graphicsViewLeft"), QStringLiteral("一, 二"));
    QCOMPARE(SidewaysText(window, "graphicsViewRight"), QStringLiteral("三"));
}

void TestMindQuiz::missingFileFallsBack()
{
    QVERIFY(!QFile::exists(CSystemUtil::LocateDataFile(QStringLiteral("/MindQuiz.ini"), 1024 * 1024)));
    CRelaxFullShowWindow window(nullptr);
    window.SetContentKind(CRelaxFullShowWindow::Quiz);
    QCOMPARE(SidewaysText(window, "graphicsViewLeft"), CRelaxFullShowWindow::BreakLines(kBuiltInQuiz, 16));
    QCOMPARE(SidewaysText(window, "graphicsViewRight"), kBuiltInAnswer);
    QVERIFY(!QFile::exists(CSystemUtil::LocateDataFile(QStringLiteral("/MindQuiz.ini"), 1024 * 1024)));
}

void TestMindQuiz::otherContents()
{
    CRelaxFullShowWindow quotation(nullptr);
    quotation.SetContentKind(CRelaxFullShowWindow::Quotation);
    QCOMPARE(quotation.AdsPosition(), 5);
    QVERIFY(quotation.findChild<QLabel*>(QStringLiteral("label_show_tips"))->text().startsWith(QStringLiteral("一个人如果")));
    QVERIFY(quotation.findChild<QWidget*>(QStringLiteral("btn_left"))->isHidden());

    CRelaxFullShowWindow exercises(nullptr);
    exercises.SetContentKind(CRelaxFullShowWindow::Exercises);
    QCOMPARE(exercises.AdsPosition(), 6);
    auto* title = exercises.findChild<QLabel*>(QStringLiteral("label_show_image_title"));
    exercises.OnLeft_Click();
    QCOMPARE(exercises.Section(), 0);
    QCOMPARE(title->text(), QStringLiteral("颈椎操 第1节"));
    for (int press = 0; press < 5; ++press)
        exercises.OnRight_Click();
    QCOMPARE(exercises.Section(), 3);
    QCOMPARE(title->text(), QStringLiteral("颈椎操 第4节"));
    QCOMPARE(exercises.findChild<QLabel*>(QStringLiteral("label_show_image_tips"))->text(),
        QStringLiteral("伸肘与肩平，做饶肩运动，先向前，再向后，各做5次。"));
}

QTEST_MAIN(TestMindQuiz)
#include "tst_mindquiz.moc"

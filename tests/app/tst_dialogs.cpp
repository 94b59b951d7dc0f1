#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "core/CBootTip.h"
#include "core/CMessageShow.h"

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void exitDialogResults_data();
    void exitDialogResults();
    void bootTipResults_data();
    void bootTipResults();
    void bootTipFollowsItsAnchor();
    void textsAreReplaced();

private:
    // Clicks the named button once the dialog's modal loop runs, and returns the loop's result.
    static int RunAndClick(QDialog* dialog, const QString& button);
};

int TestDialogs::RunAndClick(QDialog* dialog, const QString& button)
{
    QTimer::singleShot(0, dialog, [dialog, button] {
        auto* target = dialog->findChild<QAbstractButton*>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
    });
    return dialog->exec();
}

void TestDialogs::exitDialogResults_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("是") << QStringLiteral("btn_Yes") << 1;
    QTest::newRow("否") << QStringLiteral("btn_No") << 0;
    QTest::newRow("close") << QStringLiteral("btn_close") << 0;
}

void TestDialogs::exitDialogResults()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    CMessageShow* dialog = CMessageShow::Instance();
    QCOMPARE(dialog->size(), QSize(300, 180));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(RunAndClick(dialog, button), result);
    QVERIFY(!dialog->isVisible());
}

void TestDialogs::bootTipResults_data()
{
    QTest::addColumn<bool>("clearBox");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("checked");
    QTest::newRow("confirm checked") << false << QStringLiteral("btn_Confirm") << 1 << true;
    QTest::newRow("confirm cleared") << true << QStringLiteral("btn_Confirm") << 1 << false;
    QTest::newRow("close") << false << QStringLiteral("btn_close") << 0 << true;
}

void TestDialogs::bootTipResults()
{
    QFETCH(bool, clearBox);
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(bool, checked);
    CBootTip* prompt = CBootTip::Instance();
    auto* box = prompt->findChild<QCheckBox*>(QStringLiteral("chk_Boot"));
    QVERIFY(box);
    box->setChecked(true);
    if (clearBox)
        QTimer::singleShot(0, box, [box] { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, 7)); });
    QCOMPARE(RunAndClick(prompt, button), result);
    QCOMPARE(prompt->IsBootChecked(), checked);
}

void TestDialogs::bootTipFollowsItsAnchor()
{
    QWidget frame;
    frame.setGeometry(300, 200, 290, 450);
    CBootTip* prompt = CBootTip::Instance();
    // Hidden frames count too: a start with the system keeps the frame hidden.
    prompt->SetTexts(QStringLiteral("a"), QStringLiteral("b"), &frame);
    QCOMPARE(prompt->pos(), QPoint(290, 330));
    frame.show();
    frame.move(100, 50);
    prompt->SetTexts(QStringLiteral("a"), QStringLiteral("b"), &frame);
    QCOMPARE(prompt->pos(), frame.pos() + QPoint(-10, 130));

    // Near the screen's edges the prompt stays whole on the screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    frame.move(area.topLeft());
    prompt->SetTexts(QStringLiteral("a"), QStringLiteral("b"), &frame);
    QCOMPARE(prompt->pos(), area.topLeft() + QPoint(0, 130));
    frame.move(area.left() + 200, area.bottom() - 100);
    prompt->SetTexts(QStringLiteral("a"), QStringLiteral("b"), &frame);
    QCOMPARE(prompt->pos(), QPoint(area.left() + 190, area.bottom() + 1 - prompt->height()));
}

void TestDialogs::textsAreReplaced()
{
    CMessageShow* dialog = CMessageShow::Instance();
    dialog->SetTexts(QStringLiteral("完整性效验失败"), QStringLiteral("您的程序不完整,请从官网下载最新包"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("label_ExitTips"))->text(), QStringLiteral("完整性效验失败"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("label_ExitTipsMsg"))->text(),
        QStringLiteral("您的程序不完整,请从官网下载最新包"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("label_ExitTips"))->geometry(), QRect(68, 30, 160, 14));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

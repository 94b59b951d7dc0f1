#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include "core/CIniSettings.h"
#include "CMenuObject.h"
#include "CPausingProgramsSettings.h"
#include "CUpdateContext.h"
#include "TestHome.h"
#include "autostart.h"
#include "executable.h"

class TestMenuObject : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void buildsNineActionsInOrder();
    void reminderSwitchesExcludeEachOther();
    void noPopupReportsOnlyWhenChecked();
    void considerateHoldsOnUntilSwitchedOff();
    void bootrunFollowsTheEntry();
    void oddStoredValuesAreRewritten();

private:
    QAction* Act(const QString& text) const;

    CTestHome* m_home = nullptr;
    QMenu* m_menu = nullptr;
};

void TestMenuObject::init()
{
    m_home = new CTestHome;
}

void TestMenuObject::cleanup()
{
    delete m_menu;
    m_menu = nullptr;
    CIniSettings::Destroy();
    delete m_home;
}

QAction* TestMenuObject::Act(const QString& text) const
{
    for (QAction* action : m_menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void TestMenuObject::buildsNineActionsInOrder()
{
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QCOMPARE(m_menu->objectName(), QStringLiteral("btn_menu"));
    QStringList texts;
    QList<bool> checkable;
    for (QAction* action : m_menu->actions()) {
        texts << action->text();
        checkable << action->isCheckable();
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("今日不弹出"), QStringLiteral("不再弹出"), QStringLiteral("全屏时暂缓提醒"),
                        QStringLiteral("离开时暂缓提醒"), QStringLiteral("会议、勿扰时暂缓提醒"),
                        QStringLiteral("暂缓提醒的程序…"), QStringLiteral("开机启动"), QStringLiteral("反馈建议"),
                        QStringLiteral("检查更新")}));
    QCOMPARE(checkable, (QList<bool>{true, true, true, true, true, false, true, false, false}));

    // The program list opens once, however often it is asked for.
    Act(QStringLiteral("暂缓提醒的程序…"))->trigger();
    Act(QStringLiteral("暂缓提醒的程序…"))->trigger();
    QList<CPausingProgramsSettings*> lists;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* list = qobject_cast<CPausingProgramsSettings*>(window))
            lists << list;
    }
    QCOMPARE(lists.count(), 1);
    QVERIFY(lists.first()->isVisible());
    lists.first()->close();
}

void TestMenuObject::reminderSwitchesExcludeEachOther()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetTipsStatus(1);
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QVERIFY(Act(QStringLiteral("不再弹出"))->isChecked());

    Act(QStringLiteral("今日不弹出"))->trigger();
    QVERIFY(Act(QStringLiteral("今日不弹出"))->isChecked());
    QVERIFY(!Act(QStringLiteral("不再弹出"))->isChecked());
    QCOMPARE(settings->GetTodayTipsStatus(), 1);
    QCOMPARE(settings->GetTipsStatus(), 0);

    Act(QStringLiteral("不再弹出"))->trigger();
    QVERIFY(!Act(QStringLiteral("今日不弹出"))->isChecked());
    QVERIFY(Act(QStringLiteral("不再弹出"))->isChecked());
    QCOMPARE(settings->GetTodayTipsStatus(), 0);
    QCOMPARE(settings->GetTipsStatus(), 1);

    Act(QStringLiteral("不再弹出"))->trigger();
    QCOMPARE(settings->GetTipsStatus(), 0);
    QCOMPARE(settings->GetTodayTipsStatus(), 0);
}

void TestMenuObject::noPopupReportsOnlyWhenChecked()
{
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QSignalSpy reports(CUpdateContext::Instance(), &CUpdateContext::EventReported);
    Act(QStringLiteral("不再弹出"))->trigger();
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("nopopup"));
    Act(QStringLiteral("不再弹出"))->trigger();
    Act(QStringLiteral("今日不弹出"))->trigger();
    QCOMPARE(reports.count(), 1);
}

void TestMenuObject::considerateHoldsOnUntilSwitchedOff()
{
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QAction* fullscreen = Act(QStringLiteral("全屏时暂缓提醒"));
    QAction* away = Act(QStringLiteral("离开时暂缓提醒"));
    QAction* meeting = Act(QStringLiteral("会议、勿扰时暂缓提醒"));
    QVERIFY(fullscreen->isChecked());
    QVERIFY(away->isChecked());
    QVERIFY(meeting->isChecked());

    fullscreen->trigger();
    meeting->trigger();
    QVERIFY(!fullscreen->isChecked());
    QVERIFY(away->isChecked());
    QVERIFY(!meeting->isChecked());
    CIniSettings::Destroy();
    QSettings file(m_home->DataFolder() + QStringLiteral("/tst_menuobject/QzConfig.ini"), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("considerate/fullscreen")).toInt(), 0);
    QCOMPARE(file.value(QStringLiteral("considerate/meeting")).toInt(), 0);
    QVERIFY(!file.contains(QStringLiteral("considerate/away")));

    // The file decides what the menu shows each time it opens.
    file.setValue(QStringLiteral("considerate/fullscreen"), 1);
    file.setValue(QStringLiteral("considerate/away"), 0);
    file.setValue(QStringLiteral("considerate/meeting"), 1);
    file.sync();
    emit m_menu->aboutToShow();
    QVERIFY(fullscreen->isChecked());
    QVERIFY(!away->isChecked());
    QVERIFY(meeting->isChecked());
    away->trigger();
    QVERIFY(CIniSettings::Instance()->GetConsiderateAway());
}

void TestMenuObject::bootrunFollowsTheEntry()
{
    const CAutostart entry(QStringLiteral("QzHealthManager"));
    CIniSettings* settings = CIniSettings::Instance();
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QAction* bootrun = Act(QStringLiteral("开机启动"));
    QVERIFY(!bootrun->isChecked());

    bootrun->trigger();
    QVERIFY(bootrun->isChecked());
    QCOMPARE(entry.Command(), (QStringList{Executable::Path(), QStringLiteral("boot")}));
    QCOMPARE(settings->GetAutorunStatus(), 2);

    // Removed behind the program's back: the next opening of the menu notices.
    QVERIFY(entry.Remove());
    emit m_menu->aboutToShow();
    QVERIFY(!bootrun->isChecked());
    QVERIFY(!QFile::exists(entry.Location()));

    // Present, pointing elsewhere: re-pointed at this program and stored as 1.
    QVERIFY(entry.Write(QStringLiteral("/elsewhere/QzHealthManager"), {QStringLiteral("boot")}));
    emit m_menu->aboutToShow();
    QVERIFY(bootrun->isChecked());
    QCOMPARE(entry.Command(), (QStringList{Executable::Path(), QStringLiteral("boot")}));
    CIniSettings::Destroy();
    QSettings file(m_home->DataFolder() + QStringLiteral("/tst_menuobject/QzConfig.ini"), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("boot/autorun_status")).toInt(), 1);
}

void TestMenuObject::oddStoredValuesAreRewritten()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetTipsStatus(5);
    settings->SetTodayTipsStatus(-2);
    m_menu = CMenuObject::Instance()->ShowTopMenu();
    QCOMPARE(settings->GetTipsStatus(), 1);
    QCOMPARE(settings->GetTodayTipsStatus(), 1);
    QVERIFY(Act(QStringLiteral("不再弹出"))->isChecked());
}

QTEST_MAIN(TestMenuObject)
#include "tst_menuobject.moc"

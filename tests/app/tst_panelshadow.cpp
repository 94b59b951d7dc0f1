#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QTest>

#include "core/CPanelShadow.h"

namespace {
// A translucent window with one white panel, shadowed by our effect or by Qt's with the same
// colour, blur and offset: the reference the panels were first drawn with.
struct stShadowedWindow
{
    QWidget window;
    QWidget* panel = nullptr;

    explicit stShadowedWindow(bool ours)
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setAttribute(Qt::WA_TranslucentBackground);
        window.resize(260, 220);
        panel = new QWidget(&window);
        panel->setAttribute(Qt::WA_StyledBackground);
        panel->setStyleSheet(QStringLiteral("background: #ffffff; border-radius: 6px;"));
        panel->setGeometry(30, 30, 200, 160);
        if (ours) {
            CPanelShadow::Attach(panel);
        } else {
            auto* shadow = new QGraphicsDropShadowEffect(panel);
            shadow->setOffset(0, 0);
            shadow->setColor(QColor(0, 0, 0, 76));
            shadow->setBlurRadius(15);
            panel->setGraphicsEffect(shadow);
        }
        window.show();
    }

    QImage Picture() { return window.grab().toImage(); }
};
}

class TestPanelShadow : public QObject
{
    Q_OBJECT
private slots:
    void drawsWhatQtsEffectDraws();
};

// The same pixels as Qt's effect, also once the panel's outline has changed (a child now covers
// a rounded corner) and after the window was hidden, which lets the shadow go.
void TestPanelShadow::drawsWhatQtsEffectDraws()
{
    stShadowedWindow ours(true);
    stShadowedWindow qts(false);

    const QImage reference = qts.Picture();
    QVERIFY(qAlpha(reference.pixel(25, 110)) > 0);
    QCOMPARE(qAlpha(reference.pixel(2, 110)), 0);
    QCOMPARE(ours.Picture(), reference);

    for (stShadowedWindow* shadowed : {&ours, &qts}) {
        auto* corner = new QWidget(shadowed->panel);
        corner->setAttribute(Qt::WA_StyledBackground);
        corner->setStyleSheet(QStringLiteral("background: #2bc48a;"));
        corner->setGeometry(180, 140, 20, 20);
        corner->show();
    }
    const QImage covered = qts.Picture();
    QVERIFY(covered != reference);
    QCOMPARE(ours.Picture(), covered);

    ours.window.hide();
    ours.window.show();
    QCOMPARE(ours.Picture(), covered);
}

QTEST_MAIN(TestPanelShadow)
#include "tst_panelshadow.moc"

// Every window and pop-up in both languages, in each state the window tour knows and with every
// health tip, greeting and quiz: no text is wider (or, on several lines, taller) than the label
// or button that shows it, no label runs into the control beside it, and an English window shows
// no Chinese character. Measured with the fonts the package depends on, as the program sets them.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextDocument>
#include <QWidgetAction>

#include "CMindQuizSettings.h"
#include "CRelaxFullShowWindow.h"
#include "CWindowTour.h"
#include "ChineseText.h"
#include "TestHome.h"
#include "core/CCommon.h"
#include "core/CLanguage.h"

namespace {
// Run as a child: the language is chosen once, at the start, as the program does.
const char* const kChildWord = "--tour";
// The least room between a label's text and the control it names.
constexpr int kGap = 4;

class CTextChecker
{
public:
    explicit CTextChecker(bool english)
        : m_english(english)
    {
    }

    void Check(QWidget* window, const QString& state)
    {
        ++m_states;
        m_state = state;
        if (auto* menu = qobject_cast<QMenu*>(window))
            CheckMenu(menu);
        for (QWidget* widget : Shown(window))
            CheckWidget(widget);
    }

    int States() const { return m_states; }
    const QStringList& Problems() const { return m_problems; }

private:
    // The window and what it shows, the widgets in its sideways quiz views included.
    static QList<QWidget*> Shown(QWidget* window)
    {
        QList<QWidget*> shown{window};
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(window))
                continue;
            shown << child;
            auto* view = qobject_cast<QGraphicsView*>(child);
            if (!view || !view->scene())
                continue;
            for (QGraphicsItem* item : view->scene()->items()) {
                if (auto* proxy = qgraphicsitem_cast<QGraphicsProxyWidget*>(item)) {
                    if (proxy->isVisible() && proxy->widget())
                        shown << proxy->widget();
                }
            }
        }
        return shown;
    }

    // A menu's own items: their texts within the menu's width, less the item's frame.
    void CheckMenu(QMenu* menu)
    {
        for (QAction* action : menu->actions()) {
            CheckLanguage(menu, action->text());
            if (action->isSeparator() || qobject_cast<QWidgetAction*>(action))
                continue;
            const QRect item = menu->actionGeometry(action);
            const int needed = menu->fontMetrics().horizontalAdvance(action->text());
            if (needed > item.width())
                Report(menu, action->text(), QStringLiteral("needs %1 px across, has %2").arg(needed).arg(item.width()));
        }
    }

    void Report(const QWidget* widget, const QString& text, const QString& fault)
    {
        QString shortText = text;
        shortText.replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QString problem = QStringLiteral("%1: %2 \"%3\" %4")
                                    .arg(m_state, widget->objectName(), shortText.left(60), fault);
        if (!m_problems.contains(problem))
            m_problems << problem;
    }

    void CheckLanguage(const QWidget* widget, const QString& text)
    {
        if (m_english && HasChinese(text))
            Report(widget, text, QStringLiteral("is Chinese in an English window"));
    }

    void CheckWidget(QWidget* widget)
    {
        widget->ensurePolished();
        CheckLanguage(widget, widget->accessibleName());
        if (auto* label = qobject_cast<QLabel*>(widget))
            CheckLabel(label);
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            CheckButton(button);
        else if (auto* box = qobject_cast<QAbstractButton*>(widget))
            CheckBox(box);
    }

    // Where the ink of a label's text lands across, line by line as the label places it: a glyph's
    // blank side (the right half of "：") may reach past the label unseen.
    static QPair<int, int> InkAcross(const QLabel* label, const QRect& room)
    {
        const QFontMetrics metrics = label->fontMetrics();
        const Qt::Alignment across = QStyle::visualAlignment(label->layoutDirection(), label->alignment());
        int left = room.right();
        int right = room.left();
        for (const QString& line : label->text().split(QLatin1Char('\n'))) {
            const int advance = metrics.horizontalAdvance(line);
            int x = room.left();
            if (across & Qt::AlignRight)
                x = room.left() + room.width() - advance;
            else if (across & Qt::AlignHCenter)
                x = room.left() + (room.width() - advance) / 2;
            const QRect ink = metrics.tightBoundingRect(line);
            left = qMin(left, x + ink.left());
            right = qMax(right, x + ink.right());
        }
        return {left, right};
    }

    void CheckLabel(QLabel* label)
    {
        const QString text = label->text();
        if (text.isEmpty() || label->textFormat() == Qt::RichText || Qt::mightBeRichText(text))
            return;
        CheckLanguage(label, text);
        const QFontMetrics metrics = label->fontMetrics();
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
            -label->margin());
        if (label->wordWrap()) {
            const QRect needed = metrics.boundingRect(QRect(room.topLeft(), QSize(room.width(), 100000)),
                int(label->alignment()) | Qt::TextWordWrap, text);
            if (needed.width() > room.width())
                Report(label, text, QStringLiteral("needs %1 px across, has %2").arg(needed.width()).arg(room.width()));
            else if (needed.height() - qMax(0, metrics.leading()) > room.height())
                Report(label, text, QStringLiteral("needs %1 px down, has %2").arg(needed.height()).arg(room.height()));
            return;
        }
        const QPair<int, int> ink = InkAcross(label, room);
        const QStringList lineTexts = text.split(QLatin1Char('\n'));
        int advance = 0;
        for (const QString& line : lineTexts)
            advance = qMax(advance, metrics.horizontalAdvance(line));
        const int lines = lineTexts.size();
        const int down = lines * metrics.lineSpacing() - qMax(0, metrics.leading());
        // Clipped when neither the glyphs' advances nor their ink fit: a blank side (the right
        // half of "：") may reach past the label unseen, and a synthetic bold's ink past its advance.
        if (advance > room.width() && (ink.first < room.left() || ink.second > room.right()))
            Report(label, text, QStringLiteral("needs %1 px across, has %2").arg(ink.second - ink.first + 1).arg(room.width()));
        else if (lines > 1 && down > room.height())
            Report(label, text, QStringLiteral("needs %1 px down, has %2").arg(down).arg(room.height()));
        if (lines == 1)
            CheckGap(label, QRect(QPoint(ink.first, room.top()), QPoint(ink.second, room.bottom())));
    }

    // The text must keep clear of its panel's edges and of the switches, lists and fields beside
    // it on its row (a link button may follow it as the rest of its sentence).
    void CheckGap(QLabel* label, const QRect& drawn)
    {
        const QRect text = drawn.translated(label->pos()).adjusted(-kGap, 0, kGap, 0);
        const QWidget* parent = label->parentWidget();
        if (!parent)
            return;
        if (text.left() < 0 || text.right() >= parent->width())
            Report(label, label->text(), QStringLiteral("touches the edge of %1").arg(parent->objectName()));
        for (QWidget* sibling : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const bool control = qobject_cast<QCheckBox*>(sibling) || qobject_cast<QComboBox*>(sibling)
                || qobject_cast<QLineEdit*>(sibling);
            const QRect place = sibling->geometry();
            const bool sameRow = place.top() <= text.center().y() && text.center().y() <= place.bottom();
            if (control && sameRow && sibling->isVisibleTo(parent) && place.intersects(text))
                Report(label, label->text(), QStringLiteral("runs into %1").arg(sibling->objectName()));
        }
    }

    void CheckButton(QPushButton* button)
    {
        const QString text = button->text();
        if (text.isEmpty())
            return;
        CheckLanguage(button, text);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const int needed = button->fontMetrics().horizontalAdvance(text);
        if (needed > room.width())
            Report(button, text, QStringLiteral("needs %1 px across, has %2").arg(needed).arg(room.width()));
    }

    void CheckBox(QAbstractButton* box)
    {
        const QString text = box->text();
        if (text.isEmpty())
            return;
        CheckLanguage(box, text);
        if (box->sizeHint().width() > box->width()) {
            Report(box, text,
                QStringLiteral("needs %1 px across, has %2").arg(box->sizeHint().width()).arg(box->width()));
        }
    }

    bool m_english;
    int m_states = 0;
    QString m_state;
    QStringList m_problems;
};

int RunTour()
{
    CTestHome home;
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    const bool english = CLanguage::Install(QStringLiteral("QzHealthManager")) == CLanguage::English;
    CCommon::Instance()->LoadStyleSheet(QStringLiteral(":/Resources/Skin/Base.qss"));
    // The shipped quizzes, not the one built in for a missing file.
    const QString last = QStringLiteral("MindQuiz%1").arg(CRelaxFullShowWindow::QuizCount - 1);
    if (CMindQuizSettings::Instance()->GetQuiz(last).isEmpty())
        return 2;
    CTextChecker checker(english);
    CWindowTour tour([&checker](QWidget* window, const QString& state) { checker.Check(window, state); },
        CWindowTour::EveryText);
    tour.Run();
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    out.write(QStringLiteral("%1 states\n").arg(checker.States()).toUtf8());
    for (const QString& problem : checker.Problems())
        out.write((problem + QLatin1Char('\n')).toUtf8());
    return 0;
}
}

class TestTextFit : public QObject
{
    Q_OBJECT
private slots:
    void everyTextFits_data();
    void everyTextFits();
};

void TestTextFit::everyTextFits_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << QStringLiteral("zh_CN.UTF-8");
    QTest::newRow("English") << QStringLiteral("en_GB.UTF-8");
}

void TestTextFit::everyTextFits()
{
    QFETCH(QString, language);
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        variables.remove(QLatin1String(name));
    variables.insert(QStringLiteral("LANG"), language);
    QProcess child;
    child.setProcessEnvironment(variables);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildWord)});
    QVERIFY(child.waitForFinished(240000));
    QCOMPARE(child.exitCode(), 0);

    QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    // The tour went through every window: the screenshot tool's states and the texts besides.
    QVERIFY2(lines.takeFirst().section(QLatin1Char(' '), 0, 0).toInt() > 120, "the tour stopped short");
    QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kChildWord) == 0)
        return RunTour();
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfit.moc"

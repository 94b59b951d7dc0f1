#include "CSystemTray.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QWidgetAction>

#include "core/CCommon.h"

namespace {
const QString kBlankIcon = QStringLiteral(":Resources/Skin/Verd/menu_blank.png");
// The text's width in the menu drawn for Chinese, what the strip adds around it, and the least
// room after a longer text.
constexpr int kTextWidth = 83;
constexpr int kAroundText = 27;
constexpr int kAfterText = 12;

// A menu entry drawn by the program: a widget action's widget takes the mouse itself, so the
// click has to be turned into the action's trigger here.
class CTrayMenuItem : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
            emit Clicked();
    }
};
}

CSystemTray::CSystemTray(QObject* parent)
    : QSystemTrayIcon(parent)
    , m_menu(new QMenu)
{
    setIcon(CCommon::Instance()->ProgramIcon());
    setToolTip(QStringLiteral("Rezovuvove"));
    m_menu->setObjectName(QStringLiteral("system_tray_menu"));

    // Groups of entries, parted by a line.
    const QList<QList<stEntry>> groups{
        {{tr("立刻喝水"), QStringLiteral(":Resources/Skin/Verd/menu_drinknow.png"), &CSystemTray::OnDrinksNowAct_Signals},
            {tr("喝水成绩"), QStringLiteral(":Resources/Skin/Verd/menu_score.png"), &CSystemTray::OnDrinksScoreAct_Signals}},
        {{tr("喝水设置"), kBlankIcon, &CSystemTray::OnDrinksAct_Signals},
            {tr("休息设置"), kBlankIcon, &CSystemTray::OnRelaxAct_Signals},
            {tr("防蓝光设置"), kBlankIcon, &CSystemTray::OnEyeshieldAct_Signals}},
        {{tr("反馈建议"), QStringLiteral(":Resources/Skin/Verd/menu_feedback.png"), &CSystemTray::OnFeedBackAct_Signals},
            {tr("检查更新"), QStringLiteral(":Resources/Skin/Verd/menu_update.png"), &CSystemTray::OnUpdateAct_Signals},
            {tr("退出"), kBlankIcon, &CSystemTray::OnQuitAct_Signals}},
    };
    m_textWidth = TextWidth(groups);
    m_menu->setFixedWidth(kAroundText + m_textWidth);
    for (const QList<stEntry>& group : groups) {
        if (!m_menu->isEmpty())
            m_menu->addSeparator();
        for (const stEntry& entry : group)
            AddEntry(entry.strText, entry.strIcon, entry.signal);
    }

    setContextMenu(m_menu);
}

CSystemTray::~CSystemTray()
{
    delete m_menu;
}

QMenu* CSystemTray::Menu() const
{
    return m_menu;
}

int CSystemTray::TextWidth(const QList<QList<stEntry>>& groups)
{
    // The menu drawn for Chinese is 110 pixels wide; a longer English text widens it.
    QLabel probe;
    probe.setObjectName(QStringLiteral("tray_menu_text"));
    probe.ensurePolished();
    int width = kTextWidth;
    for (const QList<stEntry>& group : groups) {
        for (const stEntry& entry : group)
            width = qMax(width, probe.fontMetrics().horizontalAdvance(entry.strText) + kAfterText);
    }
    return width;
}

void CSystemTray::AddEntry(const QString& text, const QString& icon, void (CSystemTray::*signal)())
{
    auto* strip = new CTrayMenuItem;
    strip->setObjectName(QStringLiteral("tray_menu_item"));
    strip->setFixedSize(kAroundText + m_textWidth, 32);
    strip->setAttribute(Qt::WA_Hover);
    strip->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QWidget(strip);
    row->setGeometry(1, 0, kAroundText + m_textWidth - 2, 28);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* iconLabel = new QLabel(row);
    iconLabel->setFixedSize(20, 16);
    iconLabel->setPixmap(QPixmap(icon));
    auto* textLabel = new QLabel(text, row);
    textLabel->setObjectName(QStringLiteral("tray_menu_text"));
    textLabel->setFixedSize(m_textWidth, 16);
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addSpacing(5);
    layout->addWidget(iconLabel);
    layout->addWidget(textLabel);
    layout->addStretch();

    auto* action = new QWidgetAction(m_menu);
    action->setDefaultWidget(strip);
    action->setText(text);
    m_menu->addAction(action);
    connect(action, &QAction::triggered, this, signal);
    connect(strip, &CTrayMenuItem::Clicked, this, [this, action] {
        m_menu->close();
        action->trigger();
    });
}

#include "CSystemTray.moc"

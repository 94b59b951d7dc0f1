#include "CHistoryNotice.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/CCommon.h"
#include "core/CPanelShadow.h"

namespace {
constexpr int kWidth = 284;
// Room around the panel for its shadow.
constexpr int kMargin = 8;

const QString kStyleSheet = QStringLiteral(R"(
#HistoryNoticePanel { background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px; }
#label_notice_title { color: rgba(0,210,153,1); font: bold 13px "Microsoft YaHei"; }
#label_notice_text { color: rgba(105,136,125,1); font: 12px "Microsoft YaHei"; }
#btn_notice_close { color: #FFFFFF; background-color: rgba(0,210,153,1); border: none; border-radius: 4px;
    font: 12px "Microsoft YaHei"; padding: 4px 14px; }
#btn_notice_close:hover { background-color: rgba(0,179,131,1); }
)");
}

void CHistoryNotice::ShowOnce()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<CHistoryNotice*>(window) && window->isVisible())
            return;
    }
    (new CHistoryNotice)->show();
}

CHistoryNotice::CHistoryNotice(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CHistoryNotice"));
    setWindowTitle(tr("喝水记录未保存"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet(kStyleSheet);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("HistoryNoticePanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    CPanelShadow::Attach(panel);

    auto* title = new QLabel(tr("喝水记录暂时无法保存"), panel);
    title->setObjectName(QStringLiteral("label_notice_title"));
    auto* text = new QLabel(tr("喝水记录文件 HealthConfig.db 现在无法写入，可能正被其他程序（如备份或同步工具）占用。"
                               "您的喝水都已记下，不会丢失，文件可以写入时会自动保存。"),
        panel);
    text->setObjectName(QStringLiteral("label_notice_text"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* close = new QPushButton(tr("知道了"), panel);
    close->setObjectName(QStringLiteral("btn_notice_close"));
    close->setCursor(Qt::PointingHandCursor);
    close->setAccessibleName(tr("关闭提示"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setAccessibleName(title->text());
    setAccessibleDescription(text->text());

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(12, 10, 12, 10);
    panelLayout->setSpacing(6);
    panelLayout->addWidget(title);
    panelLayout->addWidget(text);
    panelLayout->addWidget(close, 0, Qt::AlignRight);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->addWidget(panel);
    setFixedWidth(kWidth);
    // The labels' height follows the style sheet's fonts, which apply only once polished.
    ensurePolished();
    // The labels' height follows the style sheet's fonts, which apply only once polished.
    ensurePolished();
    setFixedHeight(heightForWidth(kWidth));

    // The corner of the available area itself, as the other notices of the program use it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + area.width() - 10 - width(), area.y() + area.height() - 5 - height());
    }
}

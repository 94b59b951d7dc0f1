#include "CQzLiveUpdateClass.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QWidget>

namespace {
QWidget* AddPage(QStackedWidget* body, const char* name)
{
    auto* page = new QWidget(body);
    page->setObjectName(QLatin1String(name));
    body->addWidget(page);
    return page;
}

QLabel* AddLabel(QWidget* page, const char* name, const QRect& place, const QString& text, bool left)
{
    auto* label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    if (left)
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QPushButton* AddButton(QWidget* page, const char* name, const QRect& place, const QString& text)
{
    auto* button = new QPushButton(text, page);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    button->setCursor(Qt::PointingHandCursor);
    // Reached by Tab, pressed by Enter as by Space; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(true);
    return button;
}
}

void CQzLiveUpdateClass::setupUi(QWidget* window)
{
    window->setObjectName(QStringLiteral("CQzLiveUpdateClass"));
    window->setFixedSize(250, 250);

    verticalWidget = new QWidget(window);
    verticalWidget->setObjectName(QStringLiteral("verticalWidget"));
    verticalWidget->setGeometry(5, 5, 240, 240);
    verticalWidget->setFixedSize(240, 240);

    Head = new QWidget(verticalWidget);
    Head->setObjectName(QStringLiteral("Head"));
    Head->setGeometry(0, 0, 240, 24);
    auto* headLayout = new QHBoxLayout(Head);
    headLayout->setObjectName(QStringLiteral("HeadLayout"));
    headLayout->setContentsMargins(10, 0, 6, 0);
    headLayout->setSpacing(6);
    label_title = new QLabel(QCoreApplication::translate("CQzLiveUpdateClass", "检查更新"), Head);
    label_title->setObjectName(QStringLiteral("label_title"));
    headLayout->addWidget(label_title);
    headLayout->addStretch();
    btn_close = new QPushButton(Head);
    btn_close->setObjectName(QStringLiteral("btn_close"));
    btn_close->setFixedSize(16, 16);
    btn_close->setCursor(Qt::PointingHandCursor);
    btn_close->setFocusPolicy(Qt::TabFocus);
    btn_close->setAutoDefault(true);
    btn_close->setAccessibleName(QCoreApplication::translate("CQzLiveUpdateClass", "关闭"));
    headLayout->addWidget(btn_close);

    Body = new QStackedWidget(verticalWidget);
    Body->setObjectName(QStringLiteral("Body"));
    Body->setGeometry(0, 24, 240, 216);

    page = AddPage(Body, "page");
    label_loading = AddLabel(page, "label_loading", QRect(96, 72, 48, 48), QString(), false);

    page_2 = AddPage(Body, "page_2");
    label_message = AddLabel(page_2, "label_message", QRect(71, 66, 181, 21), QCoreApplication::translate("CQzLiveUpdateClass", "已经是最新版本啦！"), true);
    label_version = AddLabel(page_2, "label_version", QRect(71, 90, 121, 16), QCoreApplication::translate("CQzLiveUpdateClass", "版本：V1.012"), true);
    btn_finish = AddButton(page_2, "btn_finish", QRect(75, 164, 90, 30), QCoreApplication::translate("CQzLiveUpdateClass", "确定"));

    page_3 = AddPage(Body, "page_3");
    label_tips = AddLabel(page_3, "label_tips", QRect(24, 16, 181, 17), QCoreApplication::translate("CQzLiveUpdateClass", "检测到最新版本 V1.301"), false);
    textBrowser = new QTextBrowser(page_3);
    textBrowser->setObjectName(QStringLiteral("textBrowser"));
    textBrowser->setGeometry(25, 38, 190, 110);
    // Release notes come from the network: shown, but never followed to other documents.
    textBrowser->setOpenLinks(false);
    textBrowser->setOpenExternalLinks(false);
    textBrowser->setAccessibleName(QCoreApplication::translate("CQzLiveUpdateClass", "更新内容"));
    btn_skip = AddButton(page_3, "btn_skip", QRect(25, 164, 90, 30), QCoreApplication::translate("CQzLiveUpdateClass", "暂不考虑"));
    btn_update = AddButton(page_3, "btn_update", QRect(125, 164, 90, 30), QCoreApplication::translate("CQzLiveUpdateClass", "立即更新"));

    page_4 = AddPage(Body, "page_4");
    label_progress = AddLabel(page_4, "label_progress", QRect(25, 72, 190, 17), QCoreApplication::translate("CQzLiveUpdateClass", "更新中..."), false);
    progressBar = new QProgressBar(page_4);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(25, 92, 190, 8);
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->setAccessibleName(QCoreApplication::translate("CQzLiveUpdateClass", "下载进度"));

    page_5 = AddPage(Body, "page_5");
    label_autoupdate_tips = AddLabel(page_5, "label_autoupdate_tips", QRect(36, 65, 171, 31),
        QCoreApplication::translate("CQzLiveUpdateClass", "您的zudu版本太旧，已不能 使用，请升级到最新版zudu"), false);
    label_autoupdate_tips->setWordWrap(true);
    btn_autoupdate = AddButton(page_5, "btn_autoupdate", QRect(75, 164, 90, 30), QCoreApplication::translate("CQzLiveUpdateClass", "一键更新"));

    page_6 = AddPage(Body, "page_6");
    label_error_message = AddLabel(page_6, "label_error_message", QRect(71, 66, 181, 21), QCoreApplication::translate("CQzLiveUpdateClass", "更新失败！"), true);
    label_error_tips = AddLabel(page_6, "label_error_tips", QRect(71, 90, 121, 16), QCoreApplication::translate("CQzLiveUpdateClass", "请检查您的网络连接"), true);
    btn_retry = AddButton(page_6, "btn_retry", QRect(75, 164, 90, 30), QCoreApplication::translate("CQzLiveUpdateClass", "重试"));
}

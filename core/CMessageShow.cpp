#include "core/CMessageShow.h"

#include <QPushButton>

namespace {
CMessageShow* g_messageShow = nullptr;
}

CMessageShow* CMessageShow::Instance()
{
    if (!g_messageShow)
        g_messageShow = new CMessageShow;
    return g_messageShow;
}

CMessageShow::CMessageShow()
    : CPromptDialog(QStringLiteral("CMessageShow"), QRect(68, 30, 160, 14), QRect(68, 53, 220, 12))
{
    SetTexts(tr("是否退出Rezovuvove？"), tr("退出后将失去提醒及防蓝光保护"));
    QPushButton* yes = AddButton(QStringLiteral("btn_Yes"), tr("是"), QRect(55, 102, 90, 30));
    QPushButton* no = AddButton(QStringLiteral("btn_No"), tr("否"), QRect(155, 102, 90, 30));
    connect(yes, &QPushButton::clicked, this, &CMessageShow::OnYes_Click);
    connect(no, &QPushButton::clicked, this, &CMessageShow::OnClose_Click);
}

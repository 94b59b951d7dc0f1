#include "CCrashReport.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "core/CCommon.h"
#include "CUpdateContext.h"

namespace CCrashReport {
int Run(const QString& code, const QString& address)
{
    // The crashed process may have left its tint on the screens; the user should not read the
    // message, or carry on afterwards, through it. Listing the monitors takes over the ramps it
    // recorded (unless its screen guard already put them back), and they go back at once.
    CCommon::Instance()->CollectMonitors();
    CCommon::Instance()->ResetGammaRamp();

    QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("CCrashReport", "程式崩溃"),
        QCoreApplication::translate("CCrashReport", "<FONT size=4><div><b>对于发生的错误，表示诚挚的歉意</b><br/></div>")
            + QCoreApplication::translate("CCrashReport", "<div>错误代码：%1</div><div>错误地址：%2</div></FONT>").arg(code, address),
        QMessageBox::Ok);
    box.setTextFormat(Qt::RichText);
    box.exec();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("crash"));
    return 0;
}
}

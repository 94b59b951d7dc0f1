#include <QApplication>
#include <QFont>

#include "CContext.h"
#include "CQzLiveUpdate.h"
#include "core/CLanguage.h"
#include "glintegration.h"
#include "qtplatform.h"

int main(int argc, char* argv[])
{
    // The tray program always passes its name, its version and the update flag; started any
    // other way there is nothing to compare against.
    if (argc < 4)
        return -1;

    QtPlatform::PreferX11OnWayland();
    GlIntegration::KeepOutUnlessChosen();
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    GlIntegration::SettleForThisProcess();
    QtPlatform::SettleForThisProcess();
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), QStringLiteral("WenQuanYi Micro Hei"));
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"));
    CLanguage::Install(QStringLiteral("QzLiveUpdate"));

    const QStringList arguments = QCoreApplication::arguments();
    CContext::Instance()->SetArguments(arguments.at(1), arguments.at(2), arguments.at(3));

    CQzLiveUpdate window;
    window.show();
    return QApplication::exec();
}

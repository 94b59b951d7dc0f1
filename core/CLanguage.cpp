#include "core/CLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "core/CLineHeightFit.h"

namespace {
CLanguage::Language g_current = CLanguage::Chinese;
}

CLanguage::Language CLanguage::Choose(const QStringList& uiLanguages)
{
    const QString first = uiLanguages.value(0);
    if (first.isEmpty() || first == QLatin1String("C") || first == QLatin1String("POSIX"))
        return Chinese;
    // "zh", "zh-CN", "zh-Hant-TW", "zh_TW": the language is what comes before the first separator.
    const QString language = first.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    return language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0 ? Chinese : English;
}

CLanguage::Language CLanguage::Install(const QString& program)
{
    if (Choose(QLocale::system().uiLanguages()) == Chinese)
        return g_current = Chinese;
    // Owned by the application, which lives as long as the translation is in use.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/translations/%1_en.qm").arg(program))) {
        delete translator;
        return g_current = Chinese;
    }
    QCoreApplication::installTranslator(translator);
    // The fixed places of the windows leave no room below the line for Latin letters.
    QCoreApplication::instance()->installEventFilter(new CLineHeightFit(QCoreApplication::instance()));
    return g_current = English;
}

CLanguage::Language CLanguage::Current()
{
    return g_current;
}

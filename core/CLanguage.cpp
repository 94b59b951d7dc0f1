#include "core/CLanguage.h"

#include <QCoreApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include "core/CLineHeightFit.h"

namespace {
CLanguage::Language g_current = CLanguage::Chinese;

bool InstallTranslation(const QString& path, const QLocale& locale, const QString& catalogue)
{
    // Owned by the application, which lives as long as the translation is in use.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, catalogue, QStringLiteral("_"), path)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

// Qt's own texts (the file dialog, the buttons of message boxes) in the language the program
// speaks. A Chinese variant the system names (traditional in Taiwan) wins over the simplified
// one of the program's own texts, which stands in when there is none.
void InstallQtTranslation(CLanguage::Language language)
{
    const QString path = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    const QString catalogue = QStringLiteral("qtbase");
    if (language == CLanguage::English) {
        InstallTranslation(path, CLanguage::Locale(), catalogue);
        return;
    }
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::Chinese && InstallTranslation(path, system, catalogue))
        return;
    InstallTranslation(path, CLanguage::Locale(), catalogue);
}
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
    g_current = Chinese;
    if (Choose(QLocale::system().uiLanguages()) == English
        && InstallTranslation(QStringLiteral(":/translations"), QLocale(QLocale::English), program)) {
        g_current = English;
        // The fixed places of the windows leave no room below the line for Latin letters.
        QCoreApplication::instance()->installEventFilter(new CLineHeightFit(QCoreApplication::instance()));
    }
    InstallQtTranslation(g_current);
    return g_current;
}

CLanguage::Language CLanguage::Current()
{
    return g_current;
}

QString CLanguage::DayAndMonth(const QDate& date)
{
    QString format = Locale().dateFormat(QLocale::ShortFormat);
    // The year stands first or last, with the separator next to it.
    format.remove(QRegularExpression(QStringLiteral("^y+[^dM]*|[^dM]*y+$")));
    return Locale().toString(date, format);
}

QLocale CLanguage::Locale()
{
    // British English, as the translation is spelt.
    return g_current == English ? QLocale(QLocale::English, QLocale::UnitedKingdom)
                                : QLocale(QLocale::Chinese, QLocale::China);
}

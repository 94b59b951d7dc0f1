#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// Which language the programs speak. The Chinese texts in the code are the source texts; an
// English translation is compiled into each program and used when the user's locale names a
// language other than Chinese first.
class CLanguage
{
public:
    enum Language { Chinese, English };

    // Chinese when the first of the languages (as QLocale::uiLanguages lists them) is Chinese,
    // or when none is named (empty, "C" or "POSIX"); English otherwise.
    static Language Choose(const QStringList& uiLanguages);
    // Chooses by the system locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG as Qt reads them) and,
    // for English, installs the translation ":/translations/<program>_en.qm" into the running
    // application, with a CLineHeightFit for the fixed-size texts. Stays Chinese when that
    // translation cannot be loaded. Either way Qt's own translation for the language follows,
    // when the system has it.
    static Language Install(const QString& program);
    // What Install chose; Chinese before it ran.
    static Language Current();
    // The locale of the language spoken, for dates and month names that sit inside its texts.
    static QLocale Locale();
    // Day and month in that locale's short numeric form without the year: 9/28 in Chinese,
    // 28/09 in British English.
    static QString DayAndMonth(const QDate& date);
};

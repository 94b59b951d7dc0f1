#include "CMindQuizSettings.h"

#include <QFileInfo>
#include <QSettings>

#include "core/CSystemUtil.h"

namespace {
// Eighty quizzes are some 20 KiB; a user's own file may hold more, not this much.
constexpr qint64 kLargestQuizFile = 1024 * 1024;
CMindQuizSettings* g_quizSettings = nullptr;
}

CMindQuizSettings* CMindQuizSettings::Instance()
{
    if (!g_quizSettings)
        g_quizSettings = new CMindQuizSettings;
    return g_quizSettings;
}

void CMindQuizSettings::Destroy()
{
    delete g_quizSettings;
    g_quizSettings = nullptr;
}

CMindQuizSettings::CMindQuizSettings()
    : m_settings(new QSettings(FileName(CLanguage::Current()), QSettings::IniFormat))
{
    m_settings->setIniCodec("UTF-8");
}

CMindQuizSettings::~CMindQuizSettings()
{
    delete m_settings;
}

QString CMindQuizSettings::FileName(CLanguage::Language language)
{
    if (language == CLanguage::English) {
        const QString english = CSystemUtil::LocateDataFile(QStringLiteral("/MindQuiz_en.ini"), kLargestQuizFile);
        if (QFileInfo::exists(english))
            return english;
    }
    return CSystemUtil::LocateDataFile(QStringLiteral("/MindQuiz.ini"), kLargestQuizFile);
}

QString CMindQuizSettings::GetQuiz(const QString& section) const
{
    return Read(section + QStringLiteral("/quiz"));
}

QString CMindQuizSettings::GetAnswer(const QString& section) const
{
    return Read(section + QStringLiteral("/answer"));
}

// An unquoted value with a comma would come back as a list; the shipped file quotes its texts,
// and a user's copy written otherwise is joined back rather than lost.
QString CMindQuizSettings::Read(const QString& key) const
{
    const QVariant value = m_settings->value(key);
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

#include "CCommandWords.h"

#include <QRegularExpression>

#include "CMainTick.h"

namespace {
const QByteArray kDone = QByteArrayLiteral("ok ");
const QByteArray kFailed = QByteArrayLiteral("error ");
constexpr int kStrongest = 100;
}

bool CCommandWords::IsCommand(const QString& first)
{
    static const QStringList words{QStringLiteral("eye"), QStringLiteral("rest"), QStringLiteral("pause"),
        QStringLiteral("resume"), QStringLiteral("status")};
    return words.contains(first);
}

CCommandWords::CCommandWords(const QStringList& words)
    : m_words(words)
{
    const QString first = words.value(0);
    const QString second = words.value(1);
    if (words.size() == 1 && first == QLatin1String("resume"))
        m_action = Action::Resume;
    else if (words.size() == 1 && first == QLatin1String("status"))
        m_action = Action::Status;
    else if (words.size() == 2 && first == QLatin1String("rest") && second == QLatin1String("now"))
        m_action = Action::RestNow;
    else if (words.size() == 2 && first == QLatin1String("eye"))
        ReadEye(second);
    else if (words.size() == 2 && first == QLatin1String("pause"))
        ReadPause(second);
    else
        Unknown();
}

CCommandWords CCommandWords::FromLine(const QByteArray& line)
{
    return CCommandWords(QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void CCommandWords::ReadEye(const QString& word)
{
    if (word == QLatin1String("on")) {
        m_action = Action::EyeOn;
        return;
    }
    if (word == QLatin1String("off")) {
        m_action = Action::EyeOff;
        return;
    }
    // At most three digits: a longer number is out of range before it could overflow.
    static const QRegularExpression strength(QStringLiteral("^([+-]?)(\\d{1,3})%?$"));
    const QRegularExpressionMatch match = strength.match(word);
    const int number = match.hasMatch() ? match.captured(2).toInt() : -1;
    if (number >= 0 && number <= kStrongest) {
        m_action = match.captured(1).isEmpty() ? Action::EyeStrength : Action::EyeStep;
        m_number = match.captured(1) == QLatin1String("-") ? -number : number;
    } else if (word.contains(QRegularExpression(QStringLiteral("\\d")))) {
        m_error = tr("防蓝光强度应为 0 到 100 的整数：%1").arg(word);
    } else {
        Unknown();
    }
}

void CCommandWords::ReadPause(const QString& word)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,4}$"));
    constexpr int longest = CMainTick::LongestPause / 60;
    const int minutes = digits.match(word).hasMatch() ? word.toInt() : 0;
    if (minutes >= 1 && minutes <= longest) {
        m_action = Action::Pause;
        m_number = minutes;
    } else {
        m_error = tr("暂停的分钟数应为 1 到 %1 的整数：%2").arg(longest).arg(word);
    }
}

void CCommandWords::Unknown()
{
    m_action = Action::Unknown;
    m_error = tr("不认识的命令：%1。可用的命令：eye on、eye off、eye N%、eye +N、eye -N、rest now、pause 分钟数、"
                 "resume、status")
                  .arg(m_words.join(QLatin1Char(' ')));
}

QString CCommandWords::Error() const
{
    return m_error;
}

CCommandWords::Action CCommandWords::Which() const
{
    return m_action;
}

int CCommandWords::Number() const
{
    return m_number;
}

QByteArray CCommandWords::Line() const
{
    return m_words.join(QLatin1Char(' ')).toUtf8();
}

QByteArray CCommandWords::AnswerLine(bool done, const QString& text)
{
    return (done ? kDone : kFailed) + text.toUtf8();
}

bool CCommandWords::ReadAnswer(const QByteArray& line, QString* text)
{
    if (line.startsWith(kDone)) {
        *text = QString::fromUtf8(line.mid(kDone.size()));
        return true;
    }
    *text = line.startsWith(kFailed) ? QString::fromUtf8(line.mid(kFailed.size())) : NoAnswerText();
    return false;
}

QString CCommandWords::NoAnswerText()
{
    return tr("正在运行的程序没有及时回答");
}

QString CCommandWords::NotRunningText()
{
    return tr("程序没有在运行");
}

#include "autostart.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include "wholefile.h"

namespace {
// Characters that force an argument of an Exec line into double quotes.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

QString QuoteArgument(const QString& argument)
{
    QString quoted;
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) {
        if (kReserved.contains(c))
            needsQuotes = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return needsQuotes ? '"' + quoted + '"' : quoted;
}

// The string escapes of a desktop file value.
QString EscapeValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        if (c == '\\')
            escaped += QStringLiteral("\\\\");
        else if (c == '\n')
            escaped += QStringLiteral("\\n");
        else if (c == '\t')
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped;
}

QString UnescapeValue(const QString& value)
{
    QString plain;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == 's')
            plain += ' ';
        else if (next == 'n')
            plain += '\n';
        else if (next == 't')
            plain += '\t';
        else if (next == 'r')
            plain += '\r';
        else
            plain += next;
    }
    return plain;
}

QStringList SplitExec(const QString& exec)
{
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool haveArgument = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == '%' && i + 1 < exec.size()) {
            // Launchers expand field codes before they split, inside quotes too; at log-in the
            // codes stand for nothing and "%%" is a plain percent sign.
            if (exec[++i] == '%') {
                current += '%';
                haveArgument = true;
            }
        } else if (inQuotes) {
            if (c == '\\' && i + 1 < exec.size())
                current += exec[++i];
            else if (c == '"')
                inQuotes = false;
            else
                current += c;
        } else if (c == '"') {
            inQuotes = true;
            haveArgument = true;
        } else if (c == ' ' || c == '\t') {
            if (haveArgument)
                arguments << current;
            current.clear();
            haveArgument = false;
        } else {
            current += c;
            haveArgument = true;
        }
    }
    if (haveArgument)
        arguments << current;
    return arguments;
}
}

CAutostart::CAutostart(const QString& appName)
    : m_appName(appName)
{
}

QString CAutostart::Location() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/") + m_appName + QStringLiteral(".desktop");
}

QStringList CAutostart::Command() const
{
    QFile file(Location());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    in.setCodec("UTF-8");
    bool inMainGroup = false;
    QString exec;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        // A desktop's own "don't start this" switches count as no entry.
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true"))
            || (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false")))
            return {};
        if (key == QLatin1String("Exec"))
            exec = UnescapeValue(value);
    }
    return SplitExec(exec);
}

bool CAutostart::Write(const QString& program, const QStringList& arguments) const
{
    QStringList quoted{QuoteArgument(program)};
    for (const QString& argument : arguments)
        quoted << QuoteArgument(argument);

    if (!QDir().mkpath(QFileInfo(Location()).absolutePath()))
        return false;
    QString entry;
    QTextStream out(&entry);
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Rezovuvove\n"
        << "Comment=Drink, rest and eye-care reminders\n"
        << "Icon=" << m_appName << '\n'
        << "Exec=" << EscapeValue(quoted.join(' ')) << '\n'
        // Desktops skip an entry whose program is gone, so an entry left behind by an
        // uninstall neither starts anything nor shows an error at log-in.
        << "TryExec=" << EscapeValue(program) << '\n'
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    return WholeFile::Write(Location(), entry.toUtf8());
}

bool CAutostart::Remove() const
{
    QFile file(Location());
    return !file.exists() || file.remove();
}

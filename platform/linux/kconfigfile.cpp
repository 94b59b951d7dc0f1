#include "kconfigfile.h"

#include <QFile>
#include <QFileInfo>

#include "wholefile.h"

namespace {
// kwinrc and its kind hold a few KiB; a file far larger is not one.
constexpr qint64 kLargestFile = 1024 * 1024;

QByteArray Heading(const QByteArray& group)
{
    return '[' + group + ']';
}

bool IsHeading(const QByteArray& line)
{
    return line.trimmed().startsWith('[');
}

// The key an entry line sets, as KConfig reads it: the text before "=", without spaces.
QByteArray EntryKey(const QByteArray& line)
{
    const int equals = line.indexOf('=');
    return equals < 0 ? QByteArray() : line.left(equals).trimmed();
}
}

bool CKConfigFile::Load(const QString& path)
{
    m_lines.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    // A FIFO or a device at the name would hold the read for good.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kLargestFile || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.read(kLargestFile + 1);
    if (content.size() > kLargestFile)
        return false;
    m_lines = content.split('\n');
    // The last "line" after the final line break is empty: saving joins them back as they were.
    return true;
}

bool CKConfigFile::Save(const QString& path) const
{
    // Whole or not at all, as KDE's own programs write it: a cut-off kwinrc would lose the
    // user's other settings.
    return WholeFile::Write(path, m_lines.join('\n'));
}

std::pair<int, int> CKConfigFile::GroupLines(const QByteArray& group) const
{
    const QByteArray heading = Heading(group);
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).trimmed() != heading)
            continue;
        int end = i + 1;
        while (end < m_lines.size() && !IsHeading(m_lines.at(end)))
            ++end;
        return {i + 1, end};
    }
    return {-1, -1};
}

int CKConfigFile::KeyLine(const QByteArray& group, const QByteArray& key) const
{
    const auto [first, end] = GroupLines(group);
    for (int i = first; i >= 0 && i < end; ++i) {
        if (EntryKey(m_lines.at(i)) == key && !m_lines.at(i).trimmed().startsWith('#'))
            return i;
    }
    return -1;
}

std::optional<QByteArray> CKConfigFile::Value(const QByteArray& group, const QByteArray& key) const
{
    const int line = KeyLine(group, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines.at(line);
    return text.mid(text.indexOf('=') + 1);
}

void CKConfigFile::SetValue(const QByteArray& group, const QByteArray& key, const QByteArray& value)
{
    const int line = KeyLine(group, key);
    if (line >= 0) {
        QByteArray& text = m_lines[line];
        text = text.left(text.indexOf('=') + 1) + value;
        return;
    }
    auto [first, end] = GroupLines(group);
    if (first < 0) {
        // A new group at the end, parted from the one before by an empty line.
        if (!m_lines.isEmpty() && m_lines.constLast().isEmpty())
            m_lines.removeLast();
        if (!m_lines.isEmpty() && !m_lines.constLast().trimmed().isEmpty())
            m_lines << QByteArray();
        m_lines << Heading(group) << key + '=' + value << QByteArray();
        return;
    }
    // After the group's last entry, before the empty lines that part it from the next.
    while (end > first && m_lines.at(end - 1).trimmed().isEmpty())
        --end;
    m_lines.insert(end, key + '=' + value);
}

void CKConfigFile::RemoveKey(const QByteArray& group, const QByteArray& key)
{
    const int line = KeyLine(group, key);
    if (line < 0)
        return;
    m_lines.removeAt(line);
    const auto [first, end] = GroupLines(group);
    for (int i = first; i < end; ++i) {
        if (!m_lines.at(i).trimmed().isEmpty())
            return;
    }
    // Nothing left: the heading goes, and with it the empty line that parted it from the group
    // before, so a group the program added leaves the file as it was.
    int from = first - 1;
    const int to = end;
    if (from > 0 && m_lines.at(from - 1).trimmed().isEmpty())
        --from;
    m_lines.erase(m_lines.begin() + from, m_lines.begin() + to);
    if (m_lines.isEmpty() || !m_lines.constLast().isEmpty())
        m_lines << QByteArray();
}

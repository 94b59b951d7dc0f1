#pragma once

#include <optional>

#include <QByteArrayList>
#include <QString>

// A KDE configuration file (KConfig's INI dialect) read and changed line by line, so that
// everything the program does not touch (comments, other groups, KDE's flags and localised
// keys) stays exactly as it was. Values are taken and given as they stand in the file.
class CKConfigFile
{
public:
    // Reads the file at `path`; a missing file reads as empty. False when it could not be read,
    // or is no plain file or far larger than any configuration.
    bool Load(const QString& path);
    // Writes the file whole or not at all.
    bool Save(const QString& path) const;

    // The value of `key` in `group`; nothing when the group lacks the key.
    std::optional<QByteArray> Value(const QByteArray& group, const QByteArray& key) const;
    void SetValue(const QByteArray& group, const QByteArray& key, const QByteArray& value);
    // Removes the key, and the group's heading with it when nothing else is left in the group.
    void RemoveKey(const QByteArray& group, const QByteArray& key);

private:
    // The lines of the group, as [first entry, end): the heading lies just before; -1 when absent.
    std::pair<int, int> GroupLines(const QByteArray& group) const;
    int KeyLine(const QByteArray& group, const QByteArray& key) const;

    QByteArrayList m_lines;
};

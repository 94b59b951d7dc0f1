#pragma once

#include <QString>

// Dotted version numbers such as "1.0.10.0", compared as numbers field by field.
class CVersionNumber
{
public:
    // True when `newest` is a later version than `current`. Missing fields count as 0, so 1.2 and
    // 1.2.0 are the same version. A field that is not a plain decimal number in either makes the
    // answer "not newer": an unreadable version never leads to an update.
    static bool IsNewer(const QString& current, const QString& newest);

private:
    // -1, 0 or 1 for two fields of decimal digits, of any length.
    static int CompareFields(const QString& left, const QString& right);
    static bool IsNumber(const QString& field);
};

#pragma once

#include <QString>

// The looks of the rest reminder's windows, which each applies as its own style sheet.
class CRelaxStyle
{
public:
    static QString Sheet();
};

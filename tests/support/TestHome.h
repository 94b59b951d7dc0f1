#pragma once

#include <QTemporaryDir>

// A private home for one test: the data, configuration and runtime folders the programs use
// all point into a fresh temporary folder, so no test sees another's files or the user's own.
class CTestHome
{
public:
    CTestHome();
    ~CTestHome();

    QString Path() const;
    QString DataFolder() const;
    QString ConfigFolder() const;
    QString RuntimeFolder() const;

private:
    QTemporaryDir m_dir;
};

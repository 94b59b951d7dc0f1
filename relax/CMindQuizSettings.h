#pragma once

#include <QObject>

#include "core/CLanguage.h"

class QSettings;

// The quizzes of the full-screen rest, read from MindQuiz.ini (MindQuiz_en.ini in English): one
// section per quiz, "MindQuiz0" to "MindQuiz79", each with a question and an answer. The file is
// only read, never written.
class CMindQuizSettings : public QObject
{
    Q_OBJECT
public:
    static CMindQuizSettings* Instance();
    // Forgets the open file, so that the next Instance() looks for it anew.
    static void Destroy();

    // The question of a section; empty when the file, the section or the key is missing.
    QString GetQuiz(const QString& section) const;
    // The answer of a section; empty when missing.
    QString GetAnswer(const QString& section) const;
    // The quiz file for a language, as the data files are looked up; English falls back to the
    // Chinese quizzes when no English file can be found.
    static QString FileName(CLanguage::Language language);

private:
    CMindQuizSettings();
    ~CMindQuizSettings() override;

    QString Read(const QString& key) const;

    QSettings* m_settings = nullptr;
};

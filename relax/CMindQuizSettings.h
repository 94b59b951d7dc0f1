#pragma once

#include <QObject>

class QSettings;

// The quizzes of the full-screen rest, read from MindQuiz.ini: one section per quiz, "MindQuiz0"
// to "MindQuiz79", each with a question and an answer. The file is only read, never written.
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

private:
    CMindQuizSettings();
    ~CMindQuizSettings() override;

    QString Read(const QString& key) const;

    QSettings* m_settings = nullptr;
};

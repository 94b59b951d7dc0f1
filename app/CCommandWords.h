#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The words that steer the running program from a shell or a desktop hotkey: "eye on",
// "eye off", "eye N%" (strength 0 to 100, as the custom mode), "eye +N" / "eye -N",
// "rest now", "pause MINUTES", "resume" and "status". They come on the command line and go to
// the running copy as one request line; its answer comes back as one line too.
class CCommandWords
{
    Q_DECLARE_TR_FUNCTIONS(CCommandWords)
public:
    enum class Action { Unknown, EyeOn, EyeOff, EyeStrength, EyeStep, RestNow, Pause, Resume, Status };

    // Whether a command line's first word is one of these words; any other first word keeps the
    // meaning it has always had (a launch word, or a plain start).
    static bool IsCommand(const QString& first);

    explicit CCommandWords(const QStringList& words);
    // The words as the running copy reads them from a request line.
    static CCommandWords FromLine(const QByteArray& line);

    // What is wrong with the words, in a sentence for the user; empty when nothing is.
    QString Error() const;
    Action Which() const;
    // The strength, the step (negative for "-N") or the minutes the words carry.
    int Number() const;
    // The words as one request line.
    QByteArray Line() const;

    // An answer line: whether the words were carried out, and what the user is told.
    static QByteArray AnswerLine(bool done, const QString& text);
    // Reads an answer line back; false for one that says the words were not carried out, or for
    // no answer at all.
    static bool ReadAnswer(const QByteArray& line, QString* text);
    // The sentence for a running copy that did not answer in time.
    static QString NoAnswerText();
    // The sentence for "status" when no copy runs.
    static QString NotRunningText();

private:
    void ReadEye(const QString& word);
    void ReadPause(const QString& word);
    void Unknown();

    QStringList m_words;
    Action m_action = Action::Unknown;
    int m_number = 0;
    QString m_error;
};

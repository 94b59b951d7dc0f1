#pragma once

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;

// The programs whose windows in front hold the reminders, opened from the frame menu: the list
// the user chose, a button to take one off it, and a box that offers the programs with windows
// open now (or takes a name typed in) to put on it. Every change is stored at once.
class CPausingProgramsSettings : public QDialog
{
    Q_OBJECT
public:
    explicit CPausingProgramsSettings(QWidget* parent = nullptr);

    // Shows the stored list and offers the programs open now that are not on it.
    void LoadPrograms();

public slots:
    void OnAdd_Click();
    void OnRemove_Click();
    void OnClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* BuildHead(QWidget* panel);
    QWidget* BuildBody(QWidget* panel);
    QStringList ChosenPrograms() const;
    void Store(const QStringList& programs);
    void ShowChoices();

    QListWidget* m_chosen = nullptr;
    QPushButton* m_remove = nullptr;
    QComboBox* m_program = nullptr;
    QPushButton* m_add = nullptr;
    QStringList m_open;
};

#pragma once

#include <QWidget>

class CDrinkForm;

// The drink-now page: records a drink without waiting for the reminder, in the same cup form
// as the reminder pop-up, and returns to the home page when done.
class CDrinkNowWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CDrinkNowWindow(QWidget* parent = nullptr);

    CDrinkForm* Form() const;

public slots:
    void OnResetSetting();
    void OnDrinks_Click();
    void OnNoDrinks_Click();
    void OnSliderValueChanged(int nIndex);
    void OnTextEdited(QString text);
    void OnRecord_Click();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    CDrinkForm* m_form = nullptr;
};

#include "CDrinkNowWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "core/CCommon.h"
#include "CDrinkForm.h"
#include "CUpdateContext.h"

namespace {
// The page has no top bar, so its form sits one bar higher than the pop-up's.
constexpr int kTop = -32;
constexpr float kHeightFactor = 113.03f;

const QString kPageStyle = QStringLiteral(
    "#CDrinkNowWindow { background: transparent; border-bottom-left-radius: 4px;"
    " border-bottom-right-radius: 4px; }");
}

CDrinkNowWindow::CDrinkNowWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CDrinkNowWindow"));
    resize(282, 328);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_StyledBackground);
    m_form = new CDrinkForm(this, kTop, kHeightFactor, 42);
    // The form's sheet is this page's own; the page's look joins it.
    setStyleSheet(styleSheet() + kPageStyle);

    connect(m_form->NumberEdit(), &QLineEdit::textEdited, this, &CDrinkNowWindow::OnTextEdited);
    connect(m_form->NoDrinksButton(), &QPushButton::clicked, this, &CDrinkNowWindow::OnNoDrinks_Click);
    connect(m_form->RecordButton(), &QPushButton::clicked, this, &CDrinkNowWindow::OnRecord_Click);
    connect(m_form->DrinksButton(), &QPushButton::clicked, this, &CDrinkNowWindow::OnDrinks_Click);
    connect(m_form->Slider(), &QSlider::valueChanged, this, &CDrinkNowWindow::OnSliderValueChanged);
    connect(m_form, &CDrinkForm::CountdownFinished, this, [] { emit CCommon::Instance()->SwitchMain_PanelSignal(); });
}

CDrinkForm* CDrinkNowWindow::Form() const
{
    return m_form;
}

void CDrinkNowWindow::OnResetSetting()
{
    m_form->Reset();
}

void CDrinkNowWindow::OnDrinks_Click()
{
    m_form->Drink();
}

void CDrinkNowWindow::OnNoDrinks_Click()
{
    m_form->Stop();
    // Home first: the report may wait for the network.
    emit CCommon::Instance()->SwitchMain_PanelSignal();
    CUpdateContext::Instance()->ReportEvent(QStringLiteral("pausedrink"));
}

void CDrinkNowWindow::OnSliderValueChanged(int nIndex)
{
    m_form->Draw(nIndex);
}

void CDrinkNowWindow::OnTextEdited(QString text)
{
    m_form->TypeAmount(text);
}

void CDrinkNowWindow::OnRecord_Click()
{
    m_form->Stop();
    emit CCommon::Instance()->SwitchDrinksRecord_PanelSignal();
}

void CDrinkNowWindow::hideEvent(QHideEvent* event)
{
    m_form->Stop();
    QWidget::hideEvent(event);
}

#include "CPausingProgramsSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWindow>

#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CPanelShadow.h"
#include "fullscreenwatcher.h"

namespace {
// The shadow needs this much room around the panel.
constexpr int kShadowMargin = 5;
constexpr int kListHeight = 120;
constexpr int kBodyWidth = 300;
constexpr int kBodyMargin = 18;

const QString kStyleSheet = QStringLiteral(R"(
#PausingProgramsPanel { background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px; }
#PausingProgramsPanel #Head {
    background-color: #00D299; border-top-left-radius: 4px; border-top-right-radius: 4px;
}
#label_title { color: #FFFFFF; }
#btn_close { border: none; border-image: url(:/Resources/Skin/Verd/dialog_close.png); }
#btn_close:hover, #btn_close:focus { border-image: url(:/Resources/Skin/Verd/dialog_close_hover.png); }
QLabel { color: #69887D; }
#label_programs_hint { color: #A5C5BA; }
QListWidget, QComboBox {
    color: #69887D; background-color: #FFFFFF; border: 1px solid #C0E2D7; border-radius: 4px;
}
QListWidget { padding: 2px; outline: none; }
QListWidget::item { height: 22px; padding-left: 4px; }
QListWidget::item:selected { color: #69887D; background-color: #DEF0EA; }
QListWidget:focus, QComboBox:focus { border-color: #00D299; }
QComboBox { padding: 2px 4px; min-height: 20px; }
QComboBox::drop-down { width: 18px; border: none; }
QComboBox::down-arrow { image: url(:/Resources/Skin/Verd/combo_arrow.png); width: 10px; height: 6px; }
QPushButton#btn_add, QPushButton#btn_remove {
    min-width: 56px; min-height: 24px; padding: 0px 10px; border-radius: 13px;
}
#btn_add { color: #FFFFFF; background-color: #00D299; border: 1px solid #00D299; }
#btn_add:hover, #btn_add:focus { background-color: #14DCA6; }
#btn_remove { color: #00D299; background-color: #FFFFFF; border: 1px solid #00D299; }
#btn_remove:hover, #btn_remove:focus { background-color: #EFFCF7; }
#btn_add:disabled, #btn_remove:disabled { color: #C5D6D0; background-color: #F6FBF9; border-color: #C5D6D0; }
)");

QLabel* AddBuddy(const QString& objectName, const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setBuddy(control);
    return label;
}

QPushButton* AddButton(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setCursor(Qt::PointingHandCursor);
    // Enter in the name box adds the name; it must not press a button the dialog picked.
    button->setAutoDefault(false);
    return button;
}
}

CPausingProgramsSettings::CPausingProgramsSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("CPausingProgramsSettings"));
    setWindowTitle(tr("暂缓提醒的程序"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(kStyleSheet);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin);
    // The size follows the texts, so no language cuts them.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PausingProgramsPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    CPanelShadow::Attach(panel);
    outer->addWidget(panel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildHead(panel));
    column->addWidget(BuildBody(panel));
    setTabOrder(m_chosen, m_remove);
    setTabOrder(m_remove, m_program);
    setTabOrder(m_program, m_add);

    connect(m_add, &QPushButton::clicked, this, &CPausingProgramsSettings::OnAdd_Click);
    connect(m_remove, &QPushButton::clicked, this, &CPausingProgramsSettings::OnRemove_Click);
    connect(m_chosen, &QListWidget::itemSelectionChanged, this, &CPausingProgramsSettings::ShowChoices);
    connect(m_program, &QComboBox::editTextChanged, this, &CPausingProgramsSettings::ShowChoices);
    connect(m_program->lineEdit(), &QLineEdit::returnPressed, this, &CPausingProgramsSettings::OnAdd_Click);
    m_chosen->installEventFilter(this);
    LoadPrograms();
}

QWidget* CPausingProgramsSettings::BuildHead(QWidget* panel)
{
    auto* head = new QWidget(panel);
    head->setObjectName(QStringLiteral("Head"));
    head->setAttribute(Qt::WA_StyledBackground);
    head->setFixedHeight(26);
    auto* row = new QHBoxLayout(head);
    row->setContentsMargins(10, 2, 8, 2);
    auto* title = new QLabel(tr("暂缓提醒的程序"), head);
    title->setObjectName(QStringLiteral("label_title"));
    row->addWidget(title, 1);
    auto* close = new QPushButton(head);
    close->setObjectName(QStringLiteral("btn_close"));
    close->setFixedSize(16, 16);
    close->setCursor(Qt::PointingHandCursor);
    close->setAutoDefault(false);
    close->setAccessibleName(tr("关闭"));
    close->setToolTip(tr("关闭"));
    connect(close, &QPushButton::clicked, this, &CPausingProgramsSettings::OnClose_Click);
    row->addWidget(close);
    return head;
}

QWidget* CPausingProgramsSettings::BuildBody(QWidget* panel)
{
    auto* body = new QWidget(panel);
    body->setObjectName(QStringLiteral("Body"));
    body->setFixedWidth(kBodyWidth);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(kBodyMargin, 14, kBodyMargin, 14);
    column->setSpacing(8);

    auto* hint = new QLabel(tr("这些程序的窗口在前台时，喝水和休息提醒会暂缓。"), body);
    hint->setObjectName(QStringLiteral("label_programs_hint"));
    hint->setWordWrap(true);
    // The fixed-size dialog does not ask the label how tall its lines are at this width.
    const QRect lines = hint->fontMetrics().boundingRect(
        QRect(0, 0, kBodyWidth - 2 * kBodyMargin, QWIDGETSIZE_MAX), Qt::TextWordWrap, hint->text());
    hint->setMinimumHeight(lines.height());
    column->addWidget(hint);

    m_chosen = new QListWidget(body);
    m_chosen->setObjectName(QStringLiteral("list_programs"));
    m_chosen->setAccessibleName(tr("已选程序"));
    m_chosen->setAccessibleDescription(tr("按 Delete 键移除所选程序"));
    m_chosen->setFixedHeight(kListHeight);
    column->addWidget(AddBuddy(QStringLiteral("label_programs"), tr("已选程序："), m_chosen, body));
    column->addWidget(m_chosen);
    m_remove = AddButton(QStringLiteral("btn_remove"), tr("移除"), body);
    m_remove->setAccessibleName(tr("移除所选程序"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_remove);
    column->addLayout(row);

    m_program = new QComboBox(body);
    m_program->setObjectName(QStringLiteral("comboBox_program"));
    m_program->setEditable(true);
    m_program->setInsertPolicy(QComboBox::NoInsert);
    m_program->setAccessibleName(tr("添加程序"));
    m_program->setAccessibleDescription(tr("选择有窗口打开的程序，或输入程序名"));
    m_program->lineEdit()->setPlaceholderText(tr("程序名"));
    // The box's own line takes the focus: it is what a screen reader names.
    m_program->lineEdit()->setAccessibleName(m_program->accessibleName());
    m_program->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_add = AddButton(QStringLiteral("btn_add"), tr("添加"), body);
    m_add->setAccessibleName(tr("添加程序到列表"));
    column->addWidget(AddBuddy(QStringLiteral("label_program"), tr("添加程序："), m_program, body));
    row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(m_program, 1);
    row->addWidget(m_add);
    column->addLayout(row);
    return body;
}

void CPausingProgramsSettings::LoadPrograms()
{
    m_chosen->clear();
    m_chosen->addItems(CIniSettings::Instance()->GetConsideratePrograms());
    m_open = CFullscreenWatcher::OpenPrograms();
    ShowChoices();
}

QStringList CPausingProgramsSettings::ChosenPrograms() const
{
    QStringList programs;
    for (int row = 0; row < m_chosen->count(); ++row)
        programs << m_chosen->item(row)->text();
    return programs;
}

void CPausingProgramsSettings::Store(const QStringList& programs)
{
    CIniSettings::Instance()->SetConsideratePrograms(programs);
    m_chosen->clear();
    m_chosen->addItems(CIniSettings::Instance()->GetConsideratePrograms());
    ShowChoices();
}

void CPausingProgramsSettings::ShowChoices()
{
    const QStringList chosen = ChosenPrograms();
    QStringList offered;
    for (const QString& program : qAsConst(m_open)) {
        if (!chosen.contains(program, Qt::CaseInsensitive))
            offered << program;
    }
    QStringList current;
    for (int index = 0; index < m_program->count(); ++index)
        current << m_program->itemText(index);
    if (offered != current) {
        const QSignalBlocker blocker(m_program);
        const QString typed = m_program->currentText();
        m_program->clear();
        m_program->addItems(offered);
        m_program->setEditText(typed);
    }
    // The list keeps names one to a line, separated by commas in the settings file.
    const QString name = m_program->currentText().trimmed();
    m_add->setEnabled(!name.isEmpty() && !name.contains(QLatin1Char(',')) && !chosen.contains(name, Qt::CaseInsensitive));
    m_remove->setEnabled(!m_chosen->selectedItems().isEmpty());
}

void CPausingProgramsSettings::OnAdd_Click()
{
    if (!m_add->isEnabled())
        return;
    QStringList programs = ChosenPrograms();
    programs << m_program->currentText().trimmed();
    m_program->setEditText(QString());
    Store(programs);
}

void CPausingProgramsSettings::OnRemove_Click()
{
    const int row = m_chosen->currentRow();
    if (row < 0 || m_chosen->selectedItems().isEmpty())
        return;
    QStringList programs = ChosenPrograms();
    programs.removeAt(row);
    Store(programs);
    // The next name takes the removed one's place, so Delete can go on down the list.
    if (m_chosen->count() > 0)
        m_chosen->setCurrentRow(qMin(row, m_chosen->count() - 1));
}

void CPausingProgramsSettings::OnClose_Click()
{
    close();
}

bool CPausingProgramsSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_chosen && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        OnRemove_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CPausingProgramsSettings::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && windowHandle())
        windowHandle()->startSystemMove();
    event->ignore();
}

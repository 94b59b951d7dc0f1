#include "CRelaxFullShowWindow.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "CAdsWidget.h"
#include "core/CCommon.h"
#include "core/CIniSettings.h"
#include "core/CKeyboardAccess.h"
#include "core/CNoticeAccessible.h"
#include "CMindQuizSettings.h"
#include "CRelaxAdsSlot.h"
#include "CRelaxFullShowSettings.h"
#include "CRelaxLength.h"
#include "CRelaxStyle.h"
#include "core/ProductPages.h"
#include "clock.h"

namespace {
constexpr int kTickMs = 1000;
constexpr int kQuestionStep = 16;
constexpr int kAnswerStep = 11;
constexpr int kPageReach = 2;
const QSize kBodySize(560, 320);
const QRect kAdsArea(70, 0, 560, 90);
const char* const kBuiltInQuiz = QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "一只老虎被一根85米长的绳子捆着，它前方100米处有一堆草，老虎怎么样才能吃到草？");
const char* const kBuiltInAnswer = QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "老虎不吃草");
const char* const kQuotation = QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "一个人如果对自己的事业充满热爱，并选定了自己的工作愿望，就会自发地尽自己最大的努力去工作。"
                               "如果一个人一生当中没有任何目标，那他就会迷失自己。");
const char* const kExerciseTips[] = {
    QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "脸朝前，侧颈，尽量贴近肩部，保持2~3秒钟，复原。先左后右，做5次。"),
    QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "俯视，然后后仰，保持2-3秒。做5次。"),
    QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "左右转动头颈，做5次。"),
    QT_TRANSLATE_NOOP("CRelaxFullShowWindow", "伸肘与肩平，做饶肩运动，先向前，再向后，各做5次。"),
};

// Chinese is broken anywhere; a text in words only at its spaces.
bool IsWords(const QString& text)
{
    if (!text.contains(QLatin1Char(' ')))
        return false;
    for (const QChar character : text) {
        if (character.unicode() >= 0x2E80)
            return false;
    }
    return true;
}

// Greedy: as many words as fit in width characters a line; a longer word has a line of its own.
QString WrapWords(const QString& text, int width)
{
    QString wrapped;
    int lineLength = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            wrapped += QLatin1Char('\n');
            lineLength = 0;
        } else if (lineLength > 0) {
            wrapped += QLatin1Char(' ');
            ++lineLength;
        }
        wrapped += word;
        lineLength += word.size();
    }
    return wrapped;
}
}

CRelaxFullShowWindow::CRelaxFullShowWindow(QWidget* parent, QMenu* frameMenu)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_frameMenu(frameMenu)
    , m_adsPosition(CRelaxAdsSlot::RelaxFullQuiz)
{
    BuildWindow();
    m_remaining = CRelaxLength::Seconds();
    m_timerTips->setText(tr("您还需要休息 %1").arg(CCommon::FormatDuration(m_remaining)));
    m_countdownTimer.start(kTickMs, Qt::CoarseTimer, this);
    BuildMenu();
}

CRelaxFullShowWindow::~CRelaxFullShowWindow()
{
    delete m_sceneLeft;
    delete m_sceneRight;
}

void CRelaxFullShowWindow::BuildWindow()
{
    setObjectName(QStringLiteral("CRelaxFullShowWindow"));
    setWindowTitle(tr("全屏展示"));
    setWindowIcon(CCommon::Instance()->ProgramIcon());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_StyledBackground);
    setWindowOpacity(0.95);
    setWindowState(Qt::WindowFullScreen);
    setStyleSheet(CRelaxStyle::Sheet());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* head = new QWidget(this);
    head->setObjectName(QStringLiteral("Head"));
    head->setFixedHeight(64);
    auto* headLayout = new QHBoxLayout(head);
    headLayout->setContentsMargins(24, 16, 24, 16);
    headLayout->addStretch();
    m_btnSettingsMenu = AddButton(head, QStringLiteral("btn_settings_menu"), QSize(32, 32));
    m_btnSettingsMenu->setIcon(QIcon(QStringLiteral(":/Resources/Skin/Verd/settings.png")));
    m_btnSettingsMenu->setIconSize(QSize(32, 32));
    m_btnSettingsMenu->setAccessibleName(tr("休息选项"));
    headLayout->addWidget(m_btnSettingsMenu);
    layout->addWidget(head);
    layout->addStretch(1);

    m_timerTips = new QLabel(this);
    m_timerTips->setObjectName(QStringLiteral("label_tips_relax_timer"));
    m_timerTips->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_timerTips);
    layout->addSpacing(24);

    auto* row = new QHBoxLayout;
    row->setSpacing(36);
    row->addStretch();
    m_btnLeft = AddButton(this, QStringLiteral("btn_left"), QSize(23, 44));
    m_btnLeft->setAccessibleName(tr("上一个"));
    row->addWidget(m_btnLeft);
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("body_widget"));
    m_body->setFixedSize(kBodySize);
    m_body->setAttribute(Qt::WA_StyledBackground);
    row->addWidget(m_body);
    m_btnRight = AddButton(this, QStringLiteral("btn_right"), QSize(23, 44));
    m_btnRight->setAccessibleName(tr("下一个"));
    row->addWidget(m_btnRight);
    row->addStretch();
    layout->addLayout(row);
    layout->addSpacing(28);

    for (QGraphicsView** view : {&m_viewLeft, &m_viewRight}) {
        *view = new QGraphicsView(m_body);
        (*view)->setFrameShape(QFrame::NoFrame);
        (*view)->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        (*view)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    m_viewLeft->setObjectName(QStringLiteral("graphicsViewLeft"));
    m_viewLeft->setGeometry(10, 25, 270, 270);
    m_viewRight->setObjectName(QStringLiteral("graphicsViewRight"));
    m_viewRight->setGeometry(280, 25, 270, 270);
    // The texts are drawn turned sideways in a scene, out of assistive technology's sight: each
    // view carries its text, and the window's announcement the question. The views take no
    // keyboard: a scene keeps Tab for its own items, which would trap it there.
    m_viewLeft->setAccessibleName(tr("题目"));
    m_viewRight->setAccessibleName(tr("答案"));
    for (QGraphicsView* view : {m_viewLeft, m_viewRight}) {
        view->setFocusPolicy(Qt::NoFocus);
        view->viewport()->setFocusPolicy(Qt::NoFocus);
    }

    m_fullImages = new QWidget(m_body);
    m_fullImages->setObjectName(QStringLiteral("label_show_full_images"));
    m_fullImages->setGeometry(QRect(QPoint(0, 0), kBodySize));
    m_fullImages->setAttribute(Qt::WA_StyledBackground);
    m_showTips = new QLabel(m_fullImages);
    m_showTips->setObjectName(QStringLiteral("label_show_tips"));
    m_showTips->setGeometry(40, 90, 474, 132);
    m_showTips->setWordWrap(true);
    m_showImage = new QLabel(m_fullImages);
    m_showImage->setObjectName(QStringLiteral("label_show_image"));
    m_showImage->setGeometry(0, 60, 270, 170);
    m_showImage->setScaledContents(true);
    m_showImageTitle = new QLabel(m_fullImages);
    m_showImageTitle->setObjectName(QStringLiteral("label_show_image_title"));
    m_showImageTitle->setGeometry(300, 90, 156, 24);
    m_showImageTips = new QLabel(m_fullImages);
    m_showImageTips->setObjectName(QStringLiteral("label_show_image_tips"));
    // Kept inside the content frame, which is 560 wide.
    m_showImageTips->setGeometry(300, 140, 240, 66);
    m_showImageTips->setWordWrap(true);
    m_showImageTips->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fullImages->hide();

    m_adsBar = new QWidget(this);
    m_adsBar->setObjectName(QStringLiteral("horizontalWidget"));
    m_adsBar->setFixedSize(700, 90);
    m_adsWidget = new CAdsWidget(m_adsBar);
    m_adsWidget->setObjectName(QStringLiteral("adsWidget"));
    m_adsWidget->setGeometry(kAdsArea);
    m_adsWidget->hide();
    layout->addWidget(m_adsBar, 0, Qt::AlignHCenter);
    layout->addSpacing(20);

    m_btnFinish = AddButton(this, QStringLiteral("pushButton"), QSize(100, 40));
    m_btnFinish->setText(tr("结束休息"));
    layout->addWidget(m_btnFinish, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    connect(m_btnSettingsMenu, &QPushButton::clicked, this, &CRelaxFullShowWindow::OnMenu_Click);
    connect(m_btnFinish, &QPushButton::clicked, this, &CRelaxFullShowWindow::OnClose_Click);
    connect(m_btnLeft, &QPushButton::clicked, this, &CRelaxFullShowWindow::OnLeft_Click);
    connect(m_btnRight, &QPushButton::clicked, this, &CRelaxFullShowWindow::OnRight_Click);
}

QPushButton* CRelaxFullShowWindow::AddButton(QWidget* parent, const QString& objectName, const QSize& size)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFixedSize(size);
    button->installEventFilter(this);
    CKeyboardAccess::Button(button);
    return button;
}

void CRelaxFullShowWindow::BuildMenu()
{
    m_settingsMenu = new QMenu(this);
    m_settingsMenu->setObjectName(QStringLiteral("settings_menu"));
    const QList<QPair<QString, void (CRelaxFullShowWindow::*)()>> actions = {
        {tr("一小时内不再全屏"), &CRelaxFullShowWindow::On1Hour_Click},
        {tr("今日不再全屏"), &CRelaxFullShowWindow::On1Day_Click},
        {tr("不再弹出"), &CRelaxFullShowWindow::OnNoTips_Click},
        {tr("提醒设置"), &CRelaxFullShowWindow::OnSettings_Click},
        {tr("反馈建议"), &CRelaxFullShowWindow::OnFeedback_Click},
    };
    for (const auto& action : actions)
        connect(m_settingsMenu->addAction(action.first), &QAction::triggered, this, action.second);
    m_btnSettingsMenu->setMenu(m_settingsMenu);
}

void CRelaxFullShowWindow::SetContentKind(int kind)
{
    m_kind = kind;
    m_adsPosition = CRelaxAdsSlot::RelaxFullQuiz;
    if (kind == Quiz) {
        m_offset = 0;
        m_base = CCommon::Random(QuizCount - 1);
        m_body->setProperty("quiz", true);
        m_body->style()->unpolish(m_body);
        m_body->style()->polish(m_body);
        m_fullImages->hide();
        ShowQuiz(m_base);
    } else if (kind == Quotation) {
        m_adsPosition = CRelaxAdsSlot::RelaxFullInspire;
        ShowQuotation();
        m_btnLeft->hide();
        m_btnRight->hide();
    } else if (kind == Exercises) {
        m_adsPosition = CRelaxAdsSlot::RelaxFullSpine;
        m_base = 0;
        ShowSection();
    }
    m_adsWidget->SetPosition(m_adsPosition);
    m_adsWidget->update();
}

int CRelaxFullShowWindow::ContentKind() const
{
    return m_kind;
}

int CRelaxFullShowWindow::AdsPosition() const
{
    return m_adsPosition;
}

int CRelaxFullShowWindow::QuizNumber() const
{
    int number = m_base + m_offset;
    if (number < 0)
        number += QuizCount;
    else if (number >= QuizCount)
        number -= QuizCount;
    return number;
}

int CRelaxFullShowWindow::Section() const
{
    return m_base;
}

int CRelaxFullShowWindow::Remaining() const
{
    return m_remaining;
}

QString CRelaxFullShowWindow::BreakLines(QString text, int step)
{
    if (IsWords(text))
        return WrapWords(text, 2 * step);
    for (int position = text.size() / step * step; position >= step; position -= step)
        text.insert(position, QLatin1Char('\n'));
    return text;
}

void CRelaxFullShowWindow::ShowQuiz(int number)
{
    const QString section = QStringLiteral("MindQuiz%1").arg(number);
    QString quiz = CMindQuizSettings::Instance()->GetQuiz(section);
    QString answer = CMindQuizSettings::Instance()->GetAnswer(section);
    if (quiz.isEmpty() || answer.isEmpty()) {
        quiz = tr(kBuiltInQuiz);
        answer = tr(kBuiltInAnswer);
    }
    ShowSideways(m_viewLeft, m_sceneLeft, m_quizLeft, BreakLines(quiz, kQuestionStep), -90);
    ShowSideways(m_viewRight, m_sceneRight, m_quizRight, BreakLines(answer, kAnswerStep), 90);
    m_viewLeft->setAccessibleDescription(quiz);
    m_viewRight->setAccessibleDescription(answer);
}

void CRelaxFullShowWindow::ShowSideways(QGraphicsView* view, QGraphicsScene*& scene, QLabel*& label,
    const QString& text, int angle)
{
    view->show();
    if (scene) {
        label->setText(text);
        label->show();
        return;
    }
    const int side = view->height();
    scene = new QGraphicsScene;
    label = new QLabel;
    label->setObjectName(QStringLiteral("label_quiz"));
    label->setStyleSheet(QStringLiteral("font: normal 16px \"Microsoft YaHei\"; background-color: rgb(19, 34, 52); "
                                        "color: rgb(255, 255, 255);"));
    label->setFixedSize(side, side);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(text);
    scene->addWidget(label);
    view->setScene(scene);
    view->setSceneRect(0, 0, side, side);
    view->rotate(angle);
}

void CRelaxFullShowWindow::ShowQuotation()
{
    m_fullImages->show();
    m_viewLeft->hide();
    m_viewRight->hide();
    m_showTips->setText(tr(kQuotation));
}

void CRelaxFullShowWindow::ShowSection()
{
    m_showImage->setPixmap(QPixmap(QStringLiteral(":/Resources/Skin/Verd/image%1.png").arg(m_base)));
    m_viewLeft->hide();
    m_viewRight->hide();
    m_fullImages->show();
    m_showImageTitle->setText(tr("颈椎操 第%1节").arg(m_base + 1));
    m_showImageTips->setText(tr(kExerciseTips[m_base]));
}

void CRelaxFullShowWindow::OnLeft_Click()
{
    if (m_kind == Quiz) {
        if (m_base == 0)
            return;
        m_offset = m_offset == -kPageReach ? kPageReach : m_offset - 1;
        m_fullImages->hide();
        ShowQuiz(QuizNumber());
    } else if (m_kind == Quotation) {
        ShowQuotation();
    } else if (m_kind == Exercises && m_base > 0) {
        --m_base;
        ShowSection();
    }
}

void CRelaxFullShowWindow::OnRight_Click()
{
    if (m_kind == Quiz) {
        if (m_base == QuizCount - 1)
            return;
        m_offset = m_offset == kPageReach ? -kPageReach : m_offset + 1;
        m_fullImages->hide();
        ShowQuiz(QuizNumber());
    } else if (m_kind == Quotation) {
        ShowQuotation();
    } else if (m_kind == Exercises && m_base < ExerciseCount - 1) {
        ++m_base;
        ShowSection();
    }
}

void CRelaxFullShowWindow::CountdownTick()
{
    if (m_remaining <= 0) {
        OnClose_Click();
        return;
    }
    --m_remaining;
    m_timerTips->setText(tr("您还需要休息 %1").arg(CCommon::FormatDuration(m_remaining)));
}

void CRelaxFullShowWindow::EndRest()
{
    // The labels belong to their scenes and go with them.
    delete m_sceneLeft;
    m_sceneLeft = nullptr;
    m_quizLeft = nullptr;
    delete m_sceneRight;
    m_sceneRight = nullptr;
    m_quizRight = nullptr;
    m_countdownTimer.stop();
    hide();
}

void CRelaxFullShowWindow::OnClose_Click()
{
    if (m_ended)
        return;
    m_ended = true;
    EndRest();
    emit OnClose_Signals();
}

void CRelaxFullShowWindow::OnFeedback_Click()
{
    if (m_ended)
        return;
    QDesktopServices::openUrl(ProductPages::Feedback());
    m_ended = true;
    EndRest();
    emit OnDeleteLater_Signals();
}

// Esc and a close from the window manager end the rest like the button does.
void CRelaxFullShowWindow::reject()
{
    OnClose_Click();
}

void CRelaxFullShowWindow::OnNoTips_Click()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxFullStatus(0);
    settings->SetRelaxFullShowType(3);
}

void CRelaxFullShowWindow::On1Hour_Click()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxFullShowClickTimer(CClock::Now());
    settings->SetRelaxFullShowType(1);
}

void CRelaxFullShowWindow::On1Day_Click()
{
    CIniSettings* settings = CIniSettings::Instance();
    settings->SetRelaxFullShowClickTimer(CClock::Now());
    settings->SetRelaxFullShowType(2);
}

void CRelaxFullShowWindow::OnSettings_Click()
{
    if (!m_settings)
        m_settings = new CRelaxFullShowSettings(this, m_frameMenu);
    if (!m_settings->isActiveWindow()) {
        m_settings->move(geometry().center() - m_settings->rect().center());
        m_settings->show();
        m_settings->raise();
    }
}

void CRelaxFullShowWindow::OnMenu_Click()
{
    m_btnSettingsMenu->showMenu();
}

bool CRelaxFullShowWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (auto* button = qobject_cast<QPushButton*>(watched))
            button->setCursor(Qt::PointingHandCursor);
    }
    return QDialog::eventFilter(watched, event);
}

void CRelaxFullShowWindow::showEvent(QShowEvent* event)
{
    const bool shown = m_adsWidget->ShowSlot(m_adsPosition, kAdsArea);
    if (shown)
        connect(m_adsWidget, &CAdsWidget::OnCloseAdsWidget_Signals, this, &CRelaxFullShowWindow::OnClose_Click,
            Qt::UniqueConnection);
    // Without an advertisement its bar gives its room back, which a small screen needs.
    m_adsBar->setVisible(shown);
    QString announcement = m_timerTips->text();
    if (m_viewLeft->isVisibleTo(this))
        announcement += QLatin1Char(' ') + m_viewLeft->accessibleDescription();
    CNoticeAccessible::Announce(this, announcement);
    QDialog::showEvent(event);
}

void CRelaxFullShowWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_countdownTimer.timerId())
        CountdownTick();
    else
        QDialog::timerEvent(event);
}

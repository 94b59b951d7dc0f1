#pragma once

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class QWidget;

// The updater window's widgets, placed as the design has them: a 240 x 240 panel with a head bar
// and six pages, inside a translucent 250 x 250 window so the panel's shadow has room.
class CQzLiveUpdateClass
{
public:
    void setupUi(QWidget* window);

    QWidget* verticalWidget = nullptr;
    QWidget* Head = nullptr;
    QLabel* label_title = nullptr;
    QPushButton* btn_close = nullptr;
    QStackedWidget* Body = nullptr;

    QWidget* page = nullptr;
    QLabel* label_loading = nullptr;

    QWidget* page_2 = nullptr;
    QLabel* label_message = nullptr;
    QLabel* label_version = nullptr;
    QPushButton* btn_finish = nullptr;

    QWidget* page_3 = nullptr;
    QLabel* label_tips = nullptr;
    QTextBrowser* textBrowser = nullptr;
    QPushButton* btn_skip = nullptr;
    QPushButton* btn_update = nullptr;

    QWidget* page_4 = nullptr;
    QLabel* label_progress = nullptr;
    QProgressBar* progressBar = nullptr;

    QWidget* page_5 = nullptr;
    QLabel* label_autoupdate_tips = nullptr;
    QPushButton* btn_autoupdate = nullptr;

    QWidget* page_6 = nullptr;
    QLabel* label_error_message = nullptr;
    QLabel* label_error_tips = nullptr;
    QPushButton* btn_retry = nullptr;
};

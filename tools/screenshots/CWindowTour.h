#pragma once

#include <QStringList>

#include <functional>

class CBaseManager;
class QWidget;

// Every window and pop-up of the tray program, one after the other, in each state it can show,
// over a sample history: the screenshot tool saves a picture of each state, the text-fit test
// measures every text in it. Runs in the language already installed, in a home of the caller's
// own (the settings and the history it writes must never land in the user's files).
class CWindowTour
{
public:
    // `window` shows the state called `state`; it may be hidden or gone once the call returns.
    using Visit = std::function<void(QWidget* window, const QString& state)>;
    // The screenshot tool's pictures show the longest health tip, greeting and quiz; the test
    // goes through every one of them.
    enum Extent { LongestTexts, EveryText };

    CWindowTour(Visit visit, Extent extent);
    void Run();

private:
    void Cards(CBaseManager& frame);
    void DrinkPages(CBaseManager& frame);
    void Records(CBaseManager& frame);
    void RestRecords(CBaseManager& frame);
    void DrinkPopup(CBaseManager& frame);
    void Eyeshield(CBaseManager& frame);
    void AutomaticSettings(CBaseManager& frame);
    void Menus(CBaseManager& frame);
    QStringList WaitReasons();
    void RestPrompt(CBaseManager& frame);
    void FullScreenRests();
    void RestSettings(CBaseManager& frame);
    void Dialogs();
    // Of `texts`, the indices to visit: all of them, or the one widest in `font`'s metrics.
    QList<int> Chosen(const QStringList& texts, const QWidget* shownIn) const;

    Visit m_visit;
    Extent m_extent;
};

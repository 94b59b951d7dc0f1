#pragma once

#include <QRect>

class CAdsWidget;

// The advertisement slots of the rest windows, and how a host window fills its slot each time
// it is shown.
class CRelaxAdsSlot
{
public:
    static constexpr int RelaxTips = 3;
    static constexpr int RelaxFullQuiz = 4;
    static constexpr int RelaxFullInspire = 5;
    static constexpr int RelaxFullSpine = 6;
    static constexpr int RelaxShow = 7;

    // Places the slot's picture into `widget` at `area` and shows it; hides the widget when the
    // slot has nothing to show or its picture does not load. True when the widget is shown.
    static bool Show(CAdsWidget* widget, int position, const QRect& area);
};

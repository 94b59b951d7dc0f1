#pragma once

// The advertisement slots of the rest windows.
class CRelaxAdsSlot
{
public:
    static constexpr int RelaxTips = 3;
    static constexpr int RelaxFullQuiz = 4;
    static constexpr int RelaxFullInspire = 5;
    static constexpr int RelaxFullSpine = 6;
    static constexpr int RelaxShow = 7;
};

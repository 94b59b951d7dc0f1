#pragma once

// How long a rest lasts, and how long the prompt counts down before a full-screen one. A fresh
// installation has never stored a length; its rests last the length the settings offer at first
// instead of ending the moment they begin. A length outside what the settings offer can only come
// from a hand-edited file and counts as the default too.
class CRelaxLength
{
public:
    static constexpr int DefaultMinutes = 30;
    static constexpr int MaxMinutes = 999;
    static constexpr int DefaultCountdownSeconds = 20;
    static constexpr int MinCountdownSeconds = 5;
    static constexpr int MaxCountdownSeconds = 30;

    // The stored length in minutes, or the default while none has been chosen.
    static int Minutes();
    static int Seconds();
    // The prompt's countdown before a full-screen rest: the stored one, or the default while
    // none (0) has been chosen.
    static int CountdownSeconds();
};

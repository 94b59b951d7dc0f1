#pragma once

// How long a rest lasts. A fresh installation has never stored a length; its rests last the
// length the settings offer at first instead of ending the moment they begin.
class CRelaxLength
{
public:
    static constexpr int DefaultMinutes = 30;

    // The stored length in minutes, or the default while none has been chosen.
    static int Minutes();
    static int Seconds();
};

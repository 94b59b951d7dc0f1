#pragma once

#include <QString>

// What the rest pop-ups show at each hour of the day: a greeting and one of nine pictures.
class CRelaxGreeting
{
public:
    // The picture number, 0 to 8, for a local hour 0 to 23.
    static int PictureOf(int hour);
    static QString GreetingOf(int hour);
    static QString PicturePath(int picture);
    // The local hour now.
    static int CurrentHour();
};

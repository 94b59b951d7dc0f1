#include "CRelaxGreeting.h"

#include <QCoreApplication>

#include "clock.h"

namespace {
const char* const kGreetings[] = {
    QT_TRANSLATE_NOOP("CRelaxGreeting", "新晨伊始，小憩片刻，收拾好昨日的\n欢喜或纷扰，来拥抱当下吧"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "一杯清茶，浮生偶得几分闲，那四溢\n而出的，是茶香，也是远方"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "哪怕午餐只是每日任务，也给它来个\n任务完成吧！"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "午后的窗外，风景正好，不甘心当个看客，\n约上三五好友，一起出去走走"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "歌单里的老歌，如今听来，或许会心一笑\n，或许暗自叹息，可它都是曾经"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "懒洋洋的下午茶时光，和好友聊\n聊天，生活可以如此惬意"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "努力了一天的你最优秀，工作再忙\n也要早点回家多陪陪家人哦！"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "享受安静时光，不要咖啡和红酒，舒服\n的沙发，最新的剧，就挺好"),
    QT_TRANSLATE_NOOP("CRelaxGreeting", "夜深了，有一种孤独叫没人和你说\n晚安。对自己好点，快睡吧"),
};
}

int CRelaxGreeting::PictureOf(int hour)
{
    if (hour >= 5 && hour <= 9)
        return 0;
    if (hour == 10)
        return 1;
    if (hour == 11)
        return 2;
    if (hour == 12 || hour == 13)
        return 3;
    if (hour == 14)
        return 4;
    if (hour == 15 || hour == 16)
        return 5;
    if (hour >= 17 && hour <= 19)
        return 6;
    if (hour >= 20 && hour <= 22)
        return 7;
    return 8;
}

QString CRelaxGreeting::GreetingOf(int hour)
{
    return QCoreApplication::translate("CRelaxGreeting", kGreetings[PictureOf(hour)]);
}

QString CRelaxGreeting::PicturePath(int picture)
{
    return QStringLiteral(":/Resources/Skin/Verd/Relax/%1.png").arg(picture);
}

int CRelaxGreeting::CurrentHour()
{
    return CClock::LocalNow().time().hour();
}

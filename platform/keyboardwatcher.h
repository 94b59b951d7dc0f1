#pragma once

#include <memory>

#include <QObject>

// Tells how long the keyboard has been still, from the display server's own count of the
// keyboard's idle time, and when the next key comes, from the server's raw key events: no key
// wakes the program unless the next one was asked for. On X11 that is every keyboard; in a Wayland session only the keys typed into
// XWayland windows, the only ones the X server sees. Without an X server the keyboard is never
// known to be in use.
class CKeyboardWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CKeyboardWatcher(QObject* parent = nullptr);
    ~CKeyboardWatcher() override;

    bool IsAvailable() const;
    // Milliseconds since the last key, or -1 when that cannot be known.
    qint64 StillMs() const;
    // Announces the next key with KeyPressed, once.
    void WatchNextKey();

signals:
    void KeyPressed();

private slots:
    void OnDisplayReadable();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

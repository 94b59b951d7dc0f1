#pragma once

#include <memory>

#include <QObject>

// Tells whether the window the user works in belongs to another program and fills its screen: a
// film, a game, a presentation. It follows the window manager's word on the active window and the
// window's state and geometry as the display announces them, so it costs nothing while nothing
// changes. Without a display it never reports a full-screen window.
class CFullscreenWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CFullscreenWatcher(QObject* parent = nullptr);
    ~CFullscreenWatcher() override;

    bool IsAvailable() const;
    bool IsFullscreenInFront() const;

signals:
    void FullscreenChanged(bool fullscreen);

private slots:
    void OnDisplayReadable();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#pragma once

#include <memory>

#include <QObject>
#include <QStringList>

// Tells about the window the user works in: whether it belongs to another program and fills its
// screen (a film, a game, a presentation), and which program it is. It follows the window
// manager's word on the active window and the window's state, class and geometry as the display
// announces them, so it costs nothing while nothing changes. Without a display it never reports a
// full-screen window or a program.
class CFullscreenWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CFullscreenWatcher(QObject* parent = nullptr);
    ~CFullscreenWatcher() override;

    bool IsAvailable() const;
    bool IsFullscreenInFront() const;
    // The names the program in front goes by (the instance and class names of its window's
    // WM_CLASS); none for the program's own windows.
    QStringList ProgramInFront() const;
    // The class names of the programs that have windows open now, the program's own left out.
    static QStringList OpenPrograms();

signals:
    void FullscreenChanged(bool fullscreen);
    void ProgramInFrontChanged(const QStringList& names);

private slots:
    void OnDisplayReadable();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

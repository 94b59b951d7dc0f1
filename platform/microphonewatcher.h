#pragma once

#include <memory>

#include <QObject>

// Tells whether another program records sound: a recording stream on the sound server
// (PulseAudio, or PipeWire's PulseAudio service) that is neither paused nor a level meter. The
// server announces every recording stream that comes, goes or changes, on a thread of the
// sound library's own that sleeps in between. Without a sound server of the user's it never
// reports a recording, and the sound library is not even loaded.
class CMicrophoneWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CMicrophoneWatcher(QObject* parent = nullptr);
    ~CMicrophoneWatcher() override;

    bool IsAvailable() const;
    bool IsRecording() const;

signals:
    void RecordingChanged(bool recording);

private:
    void SetRecording(bool recording);
    void Reconnect();

    struct Private;
    std::unique_ptr<Private> d;
};

#include "microphonewatcher.h"

#include <cstring>

#include <dlfcn.h>
#include <pulse/pulseaudio.h>

#include <QFileInfo>

#include "librarysymbols.h"

namespace {
struct PulseCalls
{
    decltype(&pa_threaded_mainloop_new) mainloopNew;
    decltype(&pa_threaded_mainloop_get_api) mainloopGetApi;
    decltype(&pa_threaded_mainloop_start) mainloopStart;
    decltype(&pa_threaded_mainloop_stop) mainloopStop;
    decltype(&pa_threaded_mainloop_free) mainloopFree;
    decltype(&pa_threaded_mainloop_lock) mainloopLock;
    decltype(&pa_threaded_mainloop_unlock) mainloopUnlock;
    decltype(&pa_context_new) contextNew;
    decltype(&pa_context_set_state_callback) contextSetStateCallback;
    decltype(&pa_context_set_subscribe_callback) contextSetSubscribeCallback;
    decltype(&pa_context_connect) contextConnect;
    decltype(&pa_context_get_state) contextGetState;
    decltype(&pa_context_subscribe) contextSubscribe;
    decltype(&pa_context_get_source_output_info_list) contextGetSourceOutputInfoList;
    decltype(&pa_context_disconnect) contextDisconnect;
    decltype(&pa_context_unref) contextUnref;
    decltype(&pa_operation_unref) operationUnref;
};

const PulseCalls* OpenPulse()
{
    // Loaded only where a sound server runs: the library and the codecs it brings would cost every
    // process without one more than a megabyte for nothing.
    void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    using LibrarySymbols::Resolve;
    static PulseCalls calls;
    const bool resolved = Resolve(library, "pa_threaded_mainloop_new", calls.mainloopNew)
        && Resolve(library, "pa_threaded_mainloop_get_api", calls.mainloopGetApi)
        && Resolve(library, "pa_threaded_mainloop_start", calls.mainloopStart)
        && Resolve(library, "pa_threaded_mainloop_stop", calls.mainloopStop)
        && Resolve(library, "pa_threaded_mainloop_free", calls.mainloopFree)
        && Resolve(library, "pa_threaded_mainloop_lock", calls.mainloopLock)
        && Resolve(library, "pa_threaded_mainloop_unlock", calls.mainloopUnlock)
        && Resolve(library, "pa_context_new", calls.contextNew)
        && Resolve(library, "pa_context_set_state_callback", calls.contextSetStateCallback)
        && Resolve(library, "pa_context_set_subscribe_callback", calls.contextSetSubscribeCallback)
        && Resolve(library, "pa_context_connect", calls.contextConnect)
        && Resolve(library, "pa_context_get_state", calls.contextGetState)
        && Resolve(library, "pa_context_subscribe", calls.contextSubscribe)
        && Resolve(library, "pa_context_get_source_output_info_list", calls.contextGetSourceOutputInfoList)
        && Resolve(library, "pa_context_disconnect", calls.contextDisconnect)
        && Resolve(library, "pa_context_unref", calls.contextUnref)
        && Resolve(library, "pa_operation_unref", calls.operationUnref);
    return resolved ? &calls : nullptr;
}

const PulseCalls* Pulse()
{
    static const PulseCalls* const calls = OpenPulse();
    return calls;
}

// A sound server of the user's: one named in the environment, or the socket PulseAudio and
// PipeWire's PulseAudio service open in the runtime folder.
bool SoundServerRuns()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return qEnvironmentVariableIsSet("PULSE_SERVER")
        || (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native")));
}

// Level meters (the sound settings' input level) record with the peak detector; they are no one
// speaking.
bool CountsAsRecording(const pa_source_output_info& stream)
{
    return !stream.corked && !(stream.resample_method && std::strcmp(stream.resample_method, "peaks") == 0);
}
}

// Everything below runs on the sound library's thread, with its lock held, except where a
// function says otherwise.
struct CMicrophoneWatcher::Private
{
    CMicrophoneWatcher* owner = nullptr;
    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    // The connection has been ready once; if it breaks after that, the server went away and
    // another connection waits for the next one.
    bool wasReady = false;
    int recordingStreams = 0;
    bool recording = false;

    // On the GUI thread: a new connection that waits for the server.
    void Connect()
    {
        const PulseCalls* pulse = Pulse();
        wasReady = false;
        context = pulse->contextNew(pulse->mainloopGetApi(mainloop), "QzHealthManager");
        pulse->contextSetStateCallback(context, &Private::OnState, this);
        pulse->contextSetSubscribeCallback(context, &Private::OnEvent, this);
        // Never starts a server of its own; waits for one that is restarting.
        pulse->contextConnect(context, nullptr, pa_context_flags_t(PA_CONTEXT_NOAUTOSPAWN | PA_CONTEXT_NOFAIL), nullptr);
    }

    // On the GUI thread, with the lock.
    void Disconnect()
    {
        if (!context)
            return;
        const PulseCalls* pulse = Pulse();
        pulse->contextSetStateCallback(context, nullptr, nullptr);
        pulse->contextSetSubscribeCallback(context, nullptr, nullptr);
        pulse->contextDisconnect(context);
        pulse->contextUnref(context);
        context = nullptr;
    }

    void ListStreams()
    {
        recordingStreams = 0;
        Release(Pulse()->contextGetSourceOutputInfoList(context, &Private::OnStream, this));
    }

    static void Release(pa_operation* operation)
    {
        if (operation)
            Pulse()->operationUnref(operation);
    }

    void Tell(bool recordingNow)
    {
        CMicrophoneWatcher* watcher = owner;
        QMetaObject::invokeMethod(
            watcher, [watcher, recordingNow] { watcher->SetRecording(recordingNow); }, Qt::QueuedConnection);
    }

    static void OnState(pa_context* context, void* self)
    {
        auto* d = static_cast<Private*>(self);
        switch (Pulse()->contextGetState(context)) {
        case PA_CONTEXT_READY:
            d->wasReady = true;
            Release(Pulse()->contextSubscribe(context, PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT, nullptr, nullptr));
            d->ListStreams();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            d->Tell(false);
            // A context cannot be let go inside its own callback: the GUI thread replaces it.
            if (d->wasReady) {
                CMicrophoneWatcher* watcher = d->owner;
                QMetaObject::invokeMethod(watcher, [watcher] { watcher->Reconnect(); }, Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
    }

    static void OnEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* self)
    {
        static_cast<Private*>(self)->ListStreams();
    }

    static void OnStream(pa_context*, const pa_source_output_info* stream, int last, void* self)
    {
        auto* d = static_cast<Private*>(self);
        if (last == 0 && stream) {
            d->recordingStreams += CountsAsRecording(*stream) ? 1 : 0;
            return;
        }
        if (last > 0)
            d->Tell(d->recordingStreams > 0);
    }
};

CMicrophoneWatcher::CMicrophoneWatcher(QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    d->owner = this;
    if (!SoundServerRuns() || !Pulse())
        return;
    const PulseCalls* pulse = Pulse();
    d->mainloop = pulse->mainloopNew();
    if (!d->mainloop)
        return;
    d->Connect();
    if (pulse->mainloopStart(d->mainloop) < 0) {
        d->Disconnect();
        pulse->mainloopFree(d->mainloop);
        d->mainloop = nullptr;
    }
}

CMicrophoneWatcher::~CMicrophoneWatcher()
{
    if (!d->mainloop)
        return;
    const PulseCalls* pulse = Pulse();
    pulse->mainloopLock(d->mainloop);
    d->Disconnect();
    pulse->mainloopUnlock(d->mainloop);
    pulse->mainloopStop(d->mainloop);
    pulse->mainloopFree(d->mainloop);
}

bool CMicrophoneWatcher::IsAvailable() const
{
    return d->mainloop != nullptr;
}

bool CMicrophoneWatcher::IsRecording() const
{
    return d->recording;
}

void CMicrophoneWatcher::SetRecording(bool recording)
{
    if (recording == d->recording)
        return;
    d->recording = recording;
    emit RecordingChanged(recording);
}

void CMicrophoneWatcher::Reconnect()
{
    const PulseCalls* pulse = Pulse();
    pulse->mainloopLock(d->mainloop);
    d->Disconnect();
    d->Connect();
    pulse->mainloopUnlock(d->mainloop);
}

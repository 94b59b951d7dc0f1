// QzHealthSpeek: plays one prompt sound (Speex in Ogg) on the default sound device and ends.
// A newer sound cuts this one off through the stop channel the tray program knows by name.
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "CPromptPlayer.h"
#include "SpeekChannel.h"
#include "audiooutput.h"
#include "stopchannel.h"

namespace {
// A device that hangs in the middle of a block must not keep a stopped player alive.
constexpr int kAbortWaitMs = 250;
}

int main(int argc, char* argv[])
{
    if (argc < 2 || argv[1][0] == '\0')
        return 1;
    const auto output = CAudioOutput::CreateDefault();
    if (!output->Available())
        return 1;

    CStopChannel channel(kSpeekChannelName);
    const bool listening = channel.Listen();
    CPromptPlayer player(*output, stderr);
    const std::string path = argv[1];
    std::thread decoding([&] {
        player.Play(path);
        channel.Wake();
    });

    if (listening && channel.WaitForStop()) {
        player.Abort(kAbortWaitMs);
        channel.Acknowledge();
        // The decoding thread may be waiting on the file or the queue; nothing of it is needed.
        std::fflush(stderr);
        std::_Exit(0);
    }
    decoding.join();
    return listening ? 0 : 1;
}

#pragma once

// The name the playing QzHealthSpeek listens under for a stop request; the tray program sends
// its requests there before it starts the next sound.
constexpr char kSpeekChannelName[] = "qzHealthManageraudio-QzHealthSpeekWindow";

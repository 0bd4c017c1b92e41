// The demo's music: the file it plays, relative to the working directory, and the channel volume it plays at.
#pragma once

constexpr const char* SOUNDTRACK_PATH = "../sounds/piano_soundtrack.mp3";
constexpr float SOUNDTRACK_VOLUME = 0.5f;

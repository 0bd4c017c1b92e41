// Every key the demo answers, a row each. The key handling (key_controls.h), the overlay's list of keys and
// the --help text are made from this table, and a test holds the README's table of controls to it.
#pragma once

#include <string>
#include <vector>

// When a key is answered: in the flight and in walk mode alike, or in walk mode only.
enum KeyMode { KEYS_ALWAYS, KEYS_WALK };

// Answers a press of the key at wall-clock reading `now`.
using KeyHandler = void (*)(double now);

struct KeyBinding {
    const char* key;        // as people write it
    std::vector<int> codes; // GLFW key codes
    KeyMode mode;
    const char* effect;
    // Null for the keys read while they are held (Escape, the walk keys): the frame loop looks at those.
    KeyHandler press;
};

const std::vector<KeyBinding>& keyTable();

// "always" or "walk mode", as the README's table writes the mode.
const char* keyModeName(KeyMode mode);

// The table as a list, a key a line, for --help.
std::string keysHelp();

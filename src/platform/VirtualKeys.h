// Windows virtual-key codes of the keys a hot key may use: the one key encoding GlobalHotKey
// speaks on every system, shared by the key-name table and the X11 body.
#pragma once

namespace VirtualKey {

enum : int {
    CapsLock = 0x14,
    PageUp = 0x21,
    PageDown = 0x22,
    End = 0x23,
    Home = 0x24,
    Left = 0x25,
    Up = 0x26,
    Right = 0x27,
    Down = 0x28,
    Insert = 0x2D,
    Digit0 = 0x30, // Digit0 to Digit9 are consecutive
    Digit9 = 0x39,
    A = 0x41, // A to Z are consecutive
    Z = 0x5A,
    F1 = 0x70, // F1 to F12 are consecutive
    F12 = 0x7B,
    Semicolon = 0xBA,
    Equal = 0xBB,
    Comma = 0xBC,
    Minus = 0xBD,
    Period = 0xBE,
    Slash = 0xBF,
    Grave = 0xC0,
    BracketLeft = 0xDB,
    Backslash = 0xDC,
    BracketRight = 0xDD,
    Apostrophe = 0xDE,
};

inline bool isFunctionKey(int virtualKey)
{
    return virtualKey >= F1 && virtualKey <= F12;
}

} // namespace VirtualKey

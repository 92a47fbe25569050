// The game's keys on the desktop and on the page (keytable.h).
#include "platform/keytable.h"

#include "engine/keys.h"

namespace {
// A letter's or a digit's key code is its character.
constexpr KeyName rows[] = {
    // The keys the game plays with: both machines'.
    {KEY_ENTER, "Enter", "Return"},
    {KEY_ENTER, "NumpadEnter", "Keypad Enter"},
    {KEY_ESCAPE, "Escape", "Escape"},
    {KEY_SPACE, "Space", "Space"},
    {KEY_LEFT, "ArrowLeft", "Left"},
    {KEY_UP, "ArrowUp", "Up"},
    {KEY_RIGHT, "ArrowRight", "Right"},
    {KEY_DOWN, "ArrowDown", "Down"},
    {KEY_0, "Digit0", "0"},
    {KEY_1, "Digit1", "1"},
    {KEY_2, "Digit2", "2"},
    {KEY_3, "Digit3", "3"},
    {KEY_A, "KeyA", "A"},
    {KEY_D, "KeyD", "D"},
    {KEY_O, "KeyO", "O"},
    {KEY_P, "KeyP", "P"},
    {KEY_S, "KeyS", "S"},
    {KEY_W, "KeyW", "W"},
    {KEY_X, "KeyX", "X"},
    {KEY_Z, "KeyZ", "Z"},
    // Not the game's but the replay viewer's: both machines'. The game never
    // asks for them, so pressed in play they change nothing.
    {KEY_PAGEUP, "PageUp", "PageUp"},
    {KEY_PAGEDOWN, "PageDown", "PageDown"},
    {KEY_HOME, "Home", "Home"},
    {KEY_END, "End", "End"},
    {KEY_PERIOD, "Period", "."},
    // The desktop's alone.
    {KEY_BACKSPACE, nullptr, "Backspace"},
    {KEY_TAB, nullptr, "Tab"},
    {KEY_SHIFT, nullptr, "Left Shift"},
    {KEY_SHIFT, nullptr, "Right Shift"},
    {KEY_CONTROL, nullptr, "Left Ctrl"},
    {KEY_CONTROL, nullptr, "Right Ctrl"},
    {KEY_ALT, nullptr, "Left Alt"},
    {KEY_ALT, nullptr, "Right Alt"},
    {KEY_4, nullptr, "4"},
    {KEY_5, nullptr, "5"},
    {KEY_6, nullptr, "6"},
    {KEY_7, nullptr, "7"},
    {KEY_8, nullptr, "8"},
    {KEY_9, nullptr, "9"},
    {'B', nullptr, "B"},
    {'C', nullptr, "C"},
    {'E', nullptr, "E"},
    {'F', nullptr, "F"},
    {'G', nullptr, "G"},
    {'H', nullptr, "H"},
    {'I', nullptr, "I"},
    {'J', nullptr, "J"},
    {'K', nullptr, "K"},
    {'L', nullptr, "L"},
    {'M', nullptr, "M"},
    {'N', nullptr, "N"},
    {'Q', nullptr, "Q"},
    {'R', nullptr, "R"},
    {'T', nullptr, "T"},
    {'U', nullptr, "U"},
    {'V', nullptr, "V"},
    {'Y', nullptr, "Y"},
};
}  // namespace

const std::span<const KeyName> keytable{rows};

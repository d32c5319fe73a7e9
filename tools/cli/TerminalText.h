#pragma once

#include <string>
#include <string_view>

// Texts from outside as the tool prints them: UTF-8, one line each, with nothing in them that a
// terminal would act on. Bytes 0x00 to 0x1F and 0x7F to 0x9F are written as "\xNN" (two
// lower-case hexadecimal digits) and a backslash as "\\".
class TerminalText {
public:
    // A voice name's bytes, Latin-1 as the window shows them.
    static std::string Latin1(std::string_view bytes);
    // A voice-list row: code, tab, slot, tab, name; the two tabs stay, the rest is Latin-1.
    static std::string Row(std::string_view row);
    // A device name, already UTF-8: only the control bytes and the backslash change.
    static std::string Utf8(std::string_view text);
};

#pragma once

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

// Reads a whole log, with every time stamp replaced by "<time>" so that logs compare whole. The
// ports' error lines keep their module but not their source line, which is the ports' own affair.
inline std::string MaskedLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    static const std::regex kStamp(R"([A-Z][a-z]{2} [A-Z][a-z]{2} \d\d \d\d:\d\d:\d\d \d{4}\n)");
    static const std::regex kPortLine(R"((MidiInWin|MidiOutWin)\.cpp:\d+ )");
    return std::regex_replace(std::regex_replace(text.str(), kStamp, "<time>\n"), kPortLine,
                              "$1.cpp:<line> ");
}

// A checked-in log of tests/fixtures/logs, masked the same way.
inline std::string FixtureLog(const std::string& name) {
    return MaskedLog(std::string(SONAVIST_FIXTURES) + "/logs/" + name + ".log");
}

// The text written so far to an open temporary log.
inline std::string TextOf(FILE* log) {
    std::fflush(log);
    std::string text;
    std::rewind(log);
    for (int c; (c = std::fgetc(log)) != EOF;) {
        text += static_cast<char>(c);
    }
    return text;
}

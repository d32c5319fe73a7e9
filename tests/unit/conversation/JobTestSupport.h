#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "conversation/EXParams.h"
#include "conversation/TextSink.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/ScratchFolder.h"
#include "voice/EX5Patch.h"

// True when the text at `at` has the shape of a time stamp, "Fri Dec 11 12:00:00 2026\n".
inline bool IsStampAt(const std::string& text, size_t at) {
    static constexpr char kShape[] = "Aaa Aaa 00 00:00:00 0000\n";
    if (text.size() - at < sizeof kShape - 1) {
        return false;
    }
    for (size_t k = 0; k < sizeof kShape - 1; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[at + k]);
        const char shape = kShape[k];
        const bool fits = shape == 'A'   ? std::isupper(c)
                          : shape == 'a' ? std::islower(c)
                          : shape == '0' ? std::isdigit(c)
                                         : c == static_cast<unsigned char>(shape);
        if (!fits) {
            return false;
        }
    }
    return true;
}

// Every time stamp replaced by "<time>", so that logs compare whole. The ports' error lines keep
// their module but not their source line, which is the ports' own affair.
inline std::string Masked(const std::string& text) {
    static const std::string kPortModules[] = {"MidiInWin.cpp:", "MidiOutWin.cpp:"};
    std::string masked;
    for (size_t at = 0; at < text.size();) {
        if (IsStampAt(text, at)) {
            masked += "<time>\n";
            at += 25;
            continue;
        }
        bool port = false;
        for (const std::string& module : kPortModules) {
            if (text.compare(at, module.size(), module) == 0) {
                masked += module + "<line>";
                at += module.size();
                while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
                    ++at;
                }
                port = true;
            }
        }
        if (!port) {
            masked += text[at++];
        }
    }
    return masked;
}

// Reads a whole log, masked.
inline std::string MaskedLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return Masked(text.str());
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

// Device 0 both ways, device number 1, no pauses, answers within a second, four tries.
inline void FillTestRecord(EXParams& job) {
    job.m_MidiInDevice = 0;
    job.m_MidiOutDevice = 0;
    job.m_DriverIndex = 0;
    job.m_DeviceNo = 1;
    job.m_Delay = 0;
    job.m_MidiDelay = 0;
    job.m_Timeout = 1000;
    job.m_Tries = 4;
    std::snprintf(job.m_Version, sizeof job.m_Version, "1.0.2");
}

// Keeps every text it is given.
class RecordingSink : public TextSink {
public:
    void InsertText(const char* text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// A voice with its first `elements` elements in use, every byte of it set.
inline std::unique_ptr<EX5Patch> PatchWith(int elements) {
    auto patch = std::make_unique<EX5Patch>("AssemblPatch", 0);
    for (size_t i = 0; i < patch->m_Common.size(); ++i) {
        patch->m_Common[i] = static_cast<uint8_t>(i * 7);
    }
    for (int e = 0; e < 4; ++e) {
        patch->m_Elements[e].fill(e < elements ? static_cast<uint8_t>(0x81 + e)
                                               : EX5Patch::kUnusedElement);
    }
    return patch;
}

// Jobs against the in-process virtual instrument, each test in a fresh current directory where
// the jobs write their log.
class VirtualInstrumentTest : public testing::Test {
protected:
    void SetUp() override {
        m_Folder.MakeCurrent();
        MidiSystem::Install(std::make_shared<VirtualInstrumentDriver>(m_Instrument));
    }
    void TearDown() override { MidiSystem::Install(nullptr); }
    static std::string Log() { return MaskedLog("Sonavist.log"); }

    std::shared_ptr<VirtualInstrument> m_Instrument = std::make_shared<VirtualInstrument>();

private:
    ScratchFolder m_Folder{"sonavist-job"};
};

#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "conversation/EXParams.h"
#include "midi/MidiSystem.h"
#include "support/FakeMidiDriver.h"
#include "support/LogCapture.h"

// A fake driver installed for the length of a test, and a job record whose log is captured.
class PortFixture : public testing::Test {
protected:
    void SetUp() override {
        MidiSystem::Install(m_Driver);
        m_Job.m_LogFile = m_Log.File();
        m_Job.m_MidiInDevice = 0;
        m_Job.m_MidiOutDevice = 0;
        m_Job.m_Delay = 1;
        m_Job.m_Tries = 4;
    }
    void TearDown() override { MidiSystem::Install(nullptr); }

    std::shared_ptr<FakeMidiDriver> m_Driver = std::make_shared<FakeMidiDriver>(
        std::vector<std::string>{"In Zero", "Input device with a long name.."},
        std::vector<std::string>{"Out Zero", "Output device with a long name."});
    LogCapture m_Log;
    EXParams m_Job;
};

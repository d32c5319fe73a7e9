#include "conversation/JobLauncher.h"

#include <cstdio>
#include <future>

#include "conversation/EXParams.h"
#include "conversation/EXWorker.h"
#include "conversation/Midi.h"
#include "platform/ThreadMessageQueue.h"
#include "platform/VersionResource.h"
#include "voice/EX5Patch.h"

JobLauncher::Relay::Relay(TextSink* target, std::atomic<bool>& signalled)
    : m_Target(target), m_Signalled(signalled) {}

void JobLauncher::Relay::InsertText(const char* text) {
    m_Signalled = true;
    if (m_Target) {
        m_Target->InsertText(text);
    }
}

JobLauncher::JobLauncher(EXParams& record, TextSink* identDone, TextSink* sendDone)
    : m_Record(record), m_IdentRelay(identDone, m_Signalled), m_SendRelay(sendDone, m_Signalled) {}

JobLauncher::~JobLauncher() {
    if (m_Worker.joinable()) {
        m_Worker.join();
    }
}

bool JobLauncher::IsBusy() const {
    return m_Worker.joinable() && !m_Ended.IsSet();
}

bool JobLauncher::WaitFor(uint32_t milliseconds) {
    if (!m_Worker.joinable()) {
        return true;
    }
    if (!m_Ended.Wait(milliseconds)) {
        return false;
    }
    m_Worker.join();
    return true;
}

void JobLauncher::Cancel() {
    if (IsBusy()) {
        ThreadMessageQueue::Post(m_Worker.get_id(), Midi::kCancelMessage);
    }
}

bool JobLauncher::MakeRoom() {
    if (!m_Worker.joinable()) {
        return true;
    }
    if (!m_Signalled && !m_Ended.IsSet()) {
        return false;
    }
    return WaitFor(kLastLinesMs);
}

void JobLauncher::SetTiming(uint32_t timeout, uint32_t tries) {
    m_Timeout = timeout;
    m_Tries = tries;
}

void JobLauncher::Fill(const Settings& settings) {
    m_Record.m_Verbose = 0;
    m_Record.m_DriverIndex = 0;
    m_Record.m_StatusWnd = nullptr;
    m_Record.m_IdentDoneWnd = &m_IdentRelay;
    m_Record.m_MidiInDevice = settings.m_MidiIn;
    m_Record.m_MidiOutDevice = settings.m_MidiOut;
    m_Record.m_DeviceNo = settings.m_DeviceNo;
    m_Record.m_Delay = settings.m_SysexDelay;
    m_Record.m_Timeout = m_Timeout;
    m_Record.m_Tries = m_Tries;
    std::snprintf(m_Record.m_Version, sizeof m_Record.m_Version, "%s",
                  VersionResource::Text().c_str());
}

bool JobLauncher::LaunchIdentify(const Settings& settings) {
    if (!MakeRoom()) {
        return false;
    }
    Fill(settings);
    Start(&EXWorker::IdentifyThread);
    return true;
}

bool JobLauncher::LaunchSendVoice(const Settings& settings, std::unique_ptr<EX5Patch> patch) {
    if (!MakeRoom()) {
        return false;
    }
    Fill(settings);
    m_Record.m_SendDoneWnd = &m_SendRelay;
    m_Record.m_MidiDelay = settings.m_MidiDelay;
    m_Record.m_Patch = patch.get();
    try {
        Start(&EXWorker::SendVoiceThread);
    } catch (...) {
        m_Record.m_Patch = nullptr;
        throw;
    }
    // The job owns it now.
    static_cast<void>(patch.release());
    return true;
}

void JobLauncher::Start(unsigned (*job)(void*)) {
    m_Signalled = false;
    m_Ended.Reset();
    std::promise<void> resume;
    std::future<void> resumed = resume.get_future();
    // Born suspended: the thread is stored before the job runs.
    m_Worker = std::thread([this, job, resumed = std::move(resumed)]() mutable {
        resumed.wait();
        job(&m_Record);
        ThreadMessageQueue::Discard(std::this_thread::get_id());
        m_Ended.Set();
    });
    // A thread id can be reused; nothing posted to an earlier thread reaches this job.
    ThreadMessageQueue::Discard(m_Worker.get_id());
    resume.set_value();
}

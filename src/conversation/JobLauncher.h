#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "conversation/TextSink.h"
#include "platform/Event.h"

class EX5Patch;
class EXParams;

// Starts the identification and the voice send as the dialog's ID button and voice double-click
// do: fills the job record, then runs the job on a worker thread of its own. The dialog and the
// command-line tool share it.
//
// Threads. Every operation is called from one controlling thread (the dialog's, or the tool's
// main thread). The completion sinks given here are called on the worker thread with "Done";
// the job waits until InsertText returns, and the record is the worker's until then, so a sink
// may read the record's results (m_InstrumentText) while it handles the text.
//
// One job at a time. A launch is refused while a job runs, that is until its completion sink has
// returned; a launch after that first waits for the previous worker to write its last log lines
// and end, which needs no other thread. Never wait for a job (WaitFor, destruction) on the thread
// that handles its completion sink before the sink has been called: the job would wait for that
// thread and that thread for the job.
class JobLauncher {
public:
    static constexpr uint32_t kTimeout = 2000;
    static constexpr uint32_t kTries = 4;

    // What the dialog's controls give a job.
    struct Settings {
        int32_t midiInDevice = -1;
        int32_t midiOutDevice = -1;
        uint32_t deviceNo = 1;
        uint32_t sysexDelay = 25;
        uint32_t midiDelay = 500;
        // Fixed for the dialog and the tool; tests shorten them.
        uint32_t timeout = kTimeout;
        uint32_t tries = kTries;
    };

    // The record and the sinks outlive the launcher. `status` receives the identification's
    // error and finishing texts when it has no log; the dialog gives none.
    JobLauncher(EXParams& record, TextSink* identDone, TextSink* sendDone,
                TextSink* status = nullptr);
    ~JobLauncher();  // waits for a running job to end
    JobLauncher(const JobLauncher&) = delete;
    JobLauncher& operator=(const JobLauncher&) = delete;

    // False when refused.
    bool LaunchIdentify(const Settings& settings);
    // Takes the patch in every case; a refused patch is destroyed.
    bool LaunchSendVoice(const Settings& settings, std::unique_ptr<EX5Patch> patch);

    // True from a launch until the worker has ended (also while it writes its last log lines).
    bool IsBusy() const;
    // True when no job runs, after waiting at most the given milliseconds for it to end.
    bool WaitFor(uint32_t milliseconds);
    // Posts the cancellation message to the running job; it ends at its next request.
    void Cancel();

private:
    // Passes the completion on and then notes that the job has signalled.
    class Relay : public TextSink {
    public:
        Relay(TextSink* target, std::atomic<bool>& signalled);
        void InsertText(const char* text) override;

    private:
        TextSink* m_Target;
        std::atomic<bool>& m_Signalled;
    };

    bool MakeRoom();
    void Fill(const Settings& settings);
    void Start(unsigned (*job)(void*));

    EXParams& m_Record;
    TextSink* m_Status;
    std::atomic<bool> m_Signalled{false};
    Relay m_IdentRelay;
    Relay m_SendRelay;
    mutable Event m_Ended;
    std::thread m_Worker;
};

#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"

class MidiDriver;

// sonavist-virtual-ex5 as a child process on the running JACK server, with a client name and a
// save folder of its own, for the tests and benchmarks over JACK.
class VirtualEx5Process {
public:
    // `suffix` tells apart several instruments of one test.
    explicit VirtualEx5Process(const std::vector<std::string>& options = {},
                               const std::string& suffix = "");
    ~VirtualEx5Process();
    VirtualEx5Process(const VirtualEx5Process&) = delete;
    VirtualEx5Process& operator=(const VirtualEx5Process&) = delete;

    // True once it has said it is ready (waits a few seconds at most).
    bool WaitReady();
    // The full JACK names of its ports: the program sends to In and listens to Out.
    std::string InPort() const { return m_Client + ":in"; }
    std::string OutPort() const { return m_Client + "-out:out"; }
    // The driver's device indices of those ports: the output the program sends on, the input it
    // listens to; -1 when the driver does not list them.
    int32_t OutputIndex(MidiDriver& driver) const;
    int32_t InputIndex(MidiDriver& driver) const;
    // True once it has printed `text` after the first `from` characters of its output (waits a
    // few seconds at most).
    bool WaitOutput(const std::string& text, std::size_t from = 0) const;
    // The System Exclusive messages it has saved, in order, once there are `count` of them.
    std::vector<std::vector<uint8_t>> WaitSaved(std::size_t count);
    // What it has printed so far.
    std::string Output() const;
    // Sends the signal and returns its exit status (-1 when it did not exit normally).
    int Stop(int signal);

private:
    ScratchFolder m_Dir{"sonavist-ex5"};
    std::string m_Client;
    pid_t m_Pid = -1;
};

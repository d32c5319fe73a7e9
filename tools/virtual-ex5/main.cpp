// sonavist-virtual-ex5: the built-in virtual instrument as a JACK client, for tests and for
// trying the program against another machine's MIDI setup.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "JackInstrument.h"
#include "midi/jack/JackClient.h"

namespace {

struct Options {
    VirtualInstrument::Reply reply = VirtualInstrument::Reply::kEX5;
    int deviceNo = VirtualInstrument::kDefaultDeviceNo;
    int latencyMs = 0;
    std::string name = "sonavist-virtual-ex5";
    std::string saveDir;
    RtMidi::Api api = RtMidi::UNIX_JACK;
};

int Usage() {
    std::fprintf(
        stderr,
        "usage: sonavist-virtual-ex5 [--model EX5|EX7|EX5R|other|maker|14|17|garbage|silent]\n"
        "                            [--device-no 0-127] [--latency MS] [--name CLIENT]\n"
        "                            [--save-dir DIR] [--api jack|alsa]\n");
    return 2;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[i + 1];
        if (option == "--model") {
            const auto reply = VirtualInstrument::ReplyByName(value);
            if (!reply) {
                return false;
            }
            options.reply = *reply;
        } else if (option == "--device-no") {
            if (!ParseNumber(value, 0, 127, options.deviceNo)) {
                return false;
            }
        } else if (option == "--latency") {
            if (!ParseNumber(value, 0, 10000, options.latencyMs)) {
                return false;
            }
        } else if (option == "--name") {
            options.name = value;
        } else if (option == "--save-dir") {
            options.saveDir = value;
        } else if (option == "--api" && (value == "jack" || value == "alsa")) {
            options.api = value == "jack" ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
        } else {
            return false;
        }
    }
    return !options.name.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        return Usage();
    }
    // Signals are taken by one thread with sigwait, so the instrument stops cleanly.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    if (options.api == RtMidi::UNIX_JACK && !JackClient::ServerRuns()) {
        std::fprintf(stderr, "sonavist-virtual-ex5: no JACK server is running\n");
        return 1;
    }
    try {
        JackInstrument instrument(options.name, options.saveDir, options.api);
        instrument.Instrument().SetReply(options.reply);
        instrument.Instrument().SetDeviceNo(static_cast<uint8_t>(options.deviceNo));
        instrument.Instrument().SetLatency(std::chrono::milliseconds(options.latencyMs));
        std::thread waiter([&] {
            int signal = 0;
            sigwait(&signals, &signal);
            instrument.Stop();
        });
        std::printf("ready: %s:in %s:out\n", options.name.c_str(),
                    JackInstrument::OutClientName(options.name).c_str());
        std::fflush(stdout);
        instrument.Run();
        waiter.join();
    } catch (const RtMidiError& error) {
        std::fprintf(stderr, "sonavist-virtual-ex5: %s\n", error.getMessage().c_str());
        return 1;
    }
    return 0;
}

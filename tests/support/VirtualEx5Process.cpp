#include "support/VirtualEx5Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "midi/MidiDriver.h"

namespace {

constexpr auto kPatience = std::chrono::seconds(20);

template <typename Done>
bool Poll(Done&& done) {
    const auto limit = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int32_t IndexOf(uint32_t count, std::string (MidiDriver::*name)(uint32_t), MidiDriver& driver,
                const std::string& wanted) {
    for (uint32_t i = 0; i < count; ++i) {
        // ALSA adds the client and port numbers: "CLIENT:in 128:0".
        const std::string listed = (driver.*name)(i);
        if (listed == wanted || listed.rfind(wanted + " ", 0) == 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

}  // namespace

VirtualEx5Process::VirtualEx5Process(const std::vector<std::string>& options,
                                     const std::string& suffix) {
    std::filesystem::create_directory(m_Dir.File("save"));
    m_Client = "sonavist-test-" + std::to_string(getpid()) + suffix;

    std::vector<std::string> args = {SONAVIST_VIRTUAL_EX5, "--name", m_Client, "--save-dir",
                                     m_Dir.File("save")};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_Dir.File("out.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&m_Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        m_Pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

VirtualEx5Process::~VirtualEx5Process() {
    Stop(SIGTERM);
}

bool VirtualEx5Process::WaitReady() {
    return m_Pid > 0 && WaitOutput("ready");
}

bool VirtualEx5Process::WaitOutput(const std::string& text, std::size_t from) const {
    return Poll([&] { return Output().find(text, from) != std::string::npos; });
}

int32_t VirtualEx5Process::OutputIndex(MidiDriver& driver) const {
    return IndexOf(driver.OutCount(), &MidiDriver::OutName, driver, InPort());
}

int32_t VirtualEx5Process::InputIndex(MidiDriver& driver) const {
    return IndexOf(driver.InCount(), &MidiDriver::InName, driver, OutPort());
}

std::string VirtualEx5Process::Output() const {
    std::ifstream file(m_Dir.File("out.txt"));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::vector<uint8_t>> VirtualEx5Process::WaitSaved(std::size_t count) {
    // It saves a message before it prints its line, after the ready line.
    Poll([&] {
        const std::string output = Output();
        return static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n')) > count;
    });
    std::vector<std::vector<uint8_t>> saved;
    for (std::size_t i = 1; i <= count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "save/%03zu.syx", i);
        saved.push_back(ReadFile(m_Dir.File(name)));
    }
    return saved;
}

int VirtualEx5Process::Stop(int signal) {
    if (m_Pid <= 0) {
        return -1;
    }
    kill(m_Pid, signal);
    int status = 0;
    waitpid(m_Pid, &status, 0);
    m_Pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

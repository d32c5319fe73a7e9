#include "conversation/Midi.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "conversation/EX5Midi.h"
#include "conversation/EXParams.h"
#include "conversation/TextSink.h"
#include "midi/MidiParams.h"
#include "midi/MidiSystem.h"
#include "platform/Sleep.h"
#include "platform/ThreadMessageQueue.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

constexpr const char* kModule = "Midi.cpp";
constexpr int32_t kYamaha = 0x43;
// Time a byte takes on a MIDI cable, in microseconds.
constexpr uint32_t kWireMicrosPerByte = 320;

// Where the fields of an Identity Reply lie, by its length.
struct ReplyLayout {
    int32_t length;
    bool zeroAtFive;       // the three-byte manufacturer code starts with 0x00
    int32_t manufacturer;  // offset, or -1 for the fixed code of the short form
    bool wideManufacturer;
    int32_t family;
    int32_t revision;  // offset, or -1 when the form carries none
};

constexpr ReplyLayout kLayouts[] = {
    {15, false, 5, false, 6, 10},
    {14, false, -1, false, 5, -1},
    {17, true, 6, true, 8, 12},
};

struct Model {
    int32_t member;
    const char* logWord;
    const char* text;
};

constexpr Model kModels[] = {
    {0x1982, " EX5", "EX5"},
    {0x1A02, " EX7", "EX7"},
    {0x2002, " EX5R", "EX5R"},
};
constexpr Model kUnknownModel = {0, " UNKNOWN", "Yamaha Other"};

int32_t Word(const uint8_t* reply, int32_t at) {
    return reply[at] + 128 * reply[at + 1];
}

bool Interpret(const uint8_t* reply, int32_t length, MidiParams& ports) {
    for (const ReplyLayout& layout : kLayouts) {
        if (length != layout.length || reply[3] != 0x06 || reply[4] != 0x02 ||
            (layout.zeroAtFive && reply[5] != 0x00)) {
            continue;
        }
        if (layout.manufacturer < 0) {
            ports.m_Manufacturer = 0x41;
        } else {
            ports.m_Manufacturer = layout.wideManufacturer ? Word(reply, layout.manufacturer)
                                                           : reply[layout.manufacturer];
        }
        ports.m_Family = Word(reply, layout.family);
        ports.m_Member = Word(reply, layout.family + 2);
        if (layout.revision >= 0) {
            ports.m_Revision1 = Word(reply, layout.revision);
            ports.m_Revision2 = Word(reply, layout.revision + 2);
        }
        return true;
    }
    return false;
}

const Model& FindModel(int32_t member) {
    for (const Model& model : kModels) {
        if (model.member == member) {
            return model;
        }
    }
    return kUnknownModel;
}

void LogBytes(EXParams& job, const uint8_t* bytes, int32_t length) {
    for (int32_t i = 0; i < length; ++i) {
        job.Log(" %02X", bytes[i]);
    }
}

void SetText(char (&dest)[EXParams::kTextSize], const char* text) {
    std::snprintf(dest, sizeof dest, "%s", text);
}

void ReportDirect(EXParams& job, const char* format, uint32_t code) {
    std::snprintf(job.m_MessageText, sizeof job.m_MessageText, format, code);
    if (job.m_StatusWnd) {
        job.m_StatusWnd->InsertText(job.m_MessageText);
    }
}

}  // namespace

int Midi::SendShortMessage(EXParams& job, MidiParams& ports, int32_t status, int32_t data1,
                           int32_t data2) {
    if (job.m_Verbose) {
        job.Log(" Sent 3 bytes: %02X %02X %02X\r\n", status & 0xFF, data1 & 0xFF, data2 & 0xFF);
    }
    Sleep(job.m_Delay);
    return ports.m_MidiOut.SendShort(job, static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                                     static_cast<uint8_t>(data2));
}

int Midi::RequestIdentity(EXParams& job, MidiParams& ports, bool takeDeviceNo) {
    char inName[EXParams::kTextSize];
    MidiInWin::GetDeviceName(job.m_MidiInDevice, inName, sizeof inName);
    const uint8_t request[] = {0xF0, 0x7E, static_cast<uint8_t>(job.m_DeviceNo), 0x06, 0x01, 0xF7};
    auto reply = std::make_unique<uint8_t[]>(kReplyCapacity);
    for (uint32_t attempt = 0;; ++attempt) {
        int32_t length = SendRequest(job, ports, "Requesting Id", static_cast<int32_t>(attempt),
                                     reply.get(), kReplyCapacity, request, sizeof request, 1);
        if (length > 0) {
            if (!Interpret(reply.get(), length, ports)) {
                LogUntranslatable(job, reply.get(), length, inName);
                EXException::Raise("Cannot translate the reply.", kModule, 116);
            }
            if (takeDeviceNo) {
                job.m_DeviceNo = reply[2] & 0x7F;
            }
            return 0;
        }
        if (attempt + 1 >= job.m_Tries) {
            return -1;
        }
    }
}

int32_t Midi::SendRequest(EXParams& job, MidiParams& ports, const char* label, int32_t attempt,
                          uint8_t* reply, int32_t capacity, const uint8_t* request, int32_t length,
                          int32_t expected) {
    std::fill(reply, reply + capacity, 0);
    Event& event = ports.m_MidiIn.Start(job, capacity, expected);
    if (ThreadMessageQueue::Take(kCancelMessage)) {
        EXException::Raise("Job Cancelled", kModule, 160);
    }
    if (attempt == 0) {
        job.Log("%s.", label);
    } else {
        job.Log(".");
    }
    Sleep(job.m_Delay);
    ports.m_MidiOut.SendLong(job, request, length);
    if (job.m_Verbose) {
        job.Log(" Message %d Sent %d bytes:", ports.m_MidiOut.GetSentCount(), length);
        LogBytes(job, request, length);
        job.Log("\r\n");
        if (expected > 1) {
            job.Log("Expecting %d messages\r\n", expected);
        }
    }
    bool arrived = event.Wait(job.m_Timeout);
    if (job.m_Verbose) {
        job.Log(" Status=%d", static_cast<int>(ports.m_MidiIn.GetCallbackStatus()));
    }
    int32_t result = 0;
    if (arrived) {
        ports.m_MidiIn.Stop(job);
        if (job.m_Verbose) {
            job.Log(" Received %d messages\r\n", ports.m_MidiIn.GetReceivedCount());
        }
        result = ports.m_MidiIn.ReadMessage(reply, capacity, 0);
    }
    if (job.m_Verbose) {
        LogReceived(job, ports, capacity);
    }
    return result;
}

void Midi::LogReceived(EXParams& job, MidiParams& ports, int32_t capacity) {
    int32_t count = ports.m_MidiIn.GetReceivedCount();
    job.Log(count == 1 ? " Received %d message\r\n" : " Received %d messages\r\n", count);
    std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[capacity]);
    if (!scratch) {
        return;
    }
    int32_t sent = ports.m_MidiOut.GetSentCount();
    if (count < 2) {
        int32_t read = ports.m_MidiIn.ReadMessage(scratch.get(), capacity, 0);
        job.Log(" Message %d Received %d bytes:", sent, read);
        LogBytes(job, scratch.get(), read);
        job.Log("\r\n");
        return;
    }
    for (int32_t k = 0; k < count; ++k) {
        int32_t read = ports.m_MidiIn.ReadMessage(scratch.get(), capacity, k);
        job.Log(" Message %d Part %d Received %d bytes:", sent, k + 1, read);
        LogBytes(job, scratch.get(), read);
        job.Log("\r\n");
    }
}

void Midi::LogUntranslatable(EXParams& job, const uint8_t* reply, int32_t length,
                             const char* inName) {
    job.Log(" Received %d bytes from device number %d at %s\r\n", length,
            static_cast<int>(job.m_DeviceNo), inName);
    job.Log("[");
    LogBytes(job, reply, length);
    job.Log(" ]\r\n");
}

int Midi::Unsupported(EXParams&, MidiParams&) {
    return -1;
}

int32_t Midi::ReadFileBytes(uint8_t* buffer, const char* path, int32_t capacity) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        return 0;
    }
    int32_t stored = 0;
    for (int c; stored < capacity && (c = std::fgetc(file)) != EOF;) {
        buffer[stored++] = static_cast<uint8_t>(c);
    }
    std::fclose(file);
    return stored;
}

int Midi::SendVoice(EXParams& job, MidiParams& ports) {
    std::unique_ptr<EX5Patch> patch(std::exchange(job.m_Patch, nullptr));
    if (!patch) {
        EXException::Raise("No voice to send", kModule, __LINE__);
    }
    const uint8_t* dump = patch->BuildDump();
    // A voice without elements has no dump layout; the instrument would refuse it.
    if (patch->GetUsedElementCount() < 1) {
        EXException::Raise("No voice to send", kModule, __LINE__);
    }
    const int32_t length = static_cast<int32_t>(patch->GetDumpLength());
    int r = 0;
    uint32_t attempt = 0;
    do {
        r = SendSysexVoice(job, ports, "Voice sent", static_cast<int32_t>(attempt), dump, length);
    } while (r != 0 && ++attempt < job.m_Tries);
    return r;
}

int Midi::SendSysexVoice(EXParams& job, MidiParams& ports, const char* label, int32_t attempt,
                         const uint8_t* data, int32_t length) {
    int r = ports.m_MidiOut.SendLong(job, data, length);
    if (attempt == 0) {
        job.Log("SendSysexVoice confirms: %s\n", label);
    } else {
        job.Log(".\n");
    }
    if (job.m_Verbose) {
        job.Log(" Message %d Sent %d bytes:", ports.m_MidiOut.GetSentCount(), length);
        LogBytes(job, data, length);
        job.Log("\r\n");
    }
    return r;
}

int Midi::SendSysexDirect(EXParams& job, MidiParams&, const char*, int32_t, const uint8_t* data,
                          int32_t length) {
    MidiDriver& driver = MidiSystem::Driver();
    MidiHandle handle = 0;
    if (length < 0 ||
        driver.OutOpen(static_cast<uint32_t>(job.m_MidiOutDevice), handle) != kMidiOk) {
        return 1;
    }
    std::vector<uint8_t> bytes(data, data + length);
    MidiHeader header;
    header.data = bytes.data();
    header.bufferLength = static_cast<uint32_t>(length);
    if (driver.OutPrepare(handle, &header) != kMidiOk) {
        // The send has already failed; the device is let go whatever it answers.
        static_cast<void>(driver.OutClose(handle));
        return 1;
    }
    MidiResult sent = driver.OutLongMsg(handle, &header);
    if (sent != kMidiOk) {
        ReportDirect(job, "Error 0x%X sending MIDI message", sent);
    }
    // The message gets the job's polls plus its own time on the wire, then it is given up.
    uint32_t pause = job.m_Delay ? job.m_Delay : 1;
    uint32_t wireMs = static_cast<uint32_t>(length) * kWireMicrosPerByte / 1000 + 1;
    uint32_t polls = (job.m_Tries ? job.m_Tries : 1) + wireMs / pause;
    MidiResult released = driver.OutUnprepare(handle, &header);
    for (uint32_t poll = 1; released == kMidiStillPlaying && poll < polls; ++poll) {
        Sleep(pause);
        released = driver.OutUnprepare(handle, &header);
    }
    if (released != kMidiOk) {
        ReportDirect(job, "Error 0x%X unpreparing MIDI out header", released);
    }
    // Both failures that matter are logged above; a close has nothing to add.
    static_cast<void>(driver.OutClose(handle));
    return 1;
}

const std::type_info* Midi::Identify(EXParams& job, MidiParams& ports, bool firstTryAnswered) {
    char inName[EXParams::kTextSize];
    MidiInWin::GetDeviceName(job.m_MidiInDevice, inName, sizeof inName);
    if (ports.m_Manufacturer == kYamaha) {
        const Model& model = FindModel(ports.m_Member);
        job.Log(" Found a Yamaha%s", model.logWord);
        SetText(job.m_InstrumentText, model.text);
        job.Log(" with device number [%d] at port [%s]\r\n", static_cast<int>(job.m_DeviceNo),
                inName);
        if (firstTryAnswered) {
            return &typeid(EX5Midi);
        }
        job.Log("Please check the MIDI Parameters\r\n");
        return nullptr;
    }
    if (ports.m_Manufacturer == -1) {
        job.Log(" No reply to ID request\r\n");
        SetText(job.m_InstrumentText, "No reply to ID request.");
        return nullptr;
    }
    job.Log(" No recognized instruments found\r\n");
    SetText(job.m_InstrumentText, "Nothing known found.");
    return nullptr;
}

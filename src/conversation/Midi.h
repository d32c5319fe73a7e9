#pragma once

#include <cstdint>
#include <typeinfo>

class EXParams;
class MidiParams;

// The whole conversation with the instrument. Every operation takes the job record and the port
// pair first; the object itself holds nothing. Errors are raised as EXException pointers from
// module "Midi.cpp".
class Midi {
public:
    // The thread message that cancels a job at its next request.
    static constexpr uint32_t kCancelMessage = 0x8001;
    static constexpr int32_t kReplyCapacity = 4096;

    Midi() = default;
    virtual ~Midi() = default;

    virtual int SendShortMessage(EXParams& job, MidiParams& ports, int32_t status, int32_t data1,
                                 int32_t data2);
    // 0 when a reply was understood, -1 when none came in the job's tries.
    virtual int RequestIdentity(EXParams& job, MidiParams& ports, bool takeDeviceNo);
    // The length of the first of `expected` replies, or 0 when they did not all come in time.
    virtual int32_t SendRequest(EXParams& job, MidiParams& ports, const char* label,
                                int32_t attempt, uint8_t* reply, int32_t capacity,
                                const uint8_t* request, int32_t length, int32_t expected);
    virtual int Unsupported(EXParams& job, MidiParams& ports);
    // Bytes read, 0 when the file cannot be opened.
    virtual int32_t ReadFileBytes(uint8_t* buffer, const char* path, int32_t capacity);
    // Sends and destroys the record's patch, also when the send fails.
    virtual int SendVoice(EXParams& job, MidiParams& ports);
    virtual int SendSysexVoice(EXParams& job, MidiParams& ports, const char* label, int32_t attempt,
                               const uint8_t* data, int32_t length);
    // Sends on a device of its own, bypassing the ports; a failure goes to the record's status
    // sink. Always 1.
    virtual int SendSysexDirect(EXParams& job, MidiParams& ports, const char* label,
                                int32_t attempt, const uint8_t* data, int32_t length);

    // Writes the result text and the log words; the conversation type of an instrument of the
    // family that answered on the first try, else none.
    const std::type_info* Identify(EXParams& job, MidiParams& ports, bool firstTryAnswered);

private:
    void LogReceived(EXParams& job, MidiParams& ports, int32_t capacity);
    void LogUntranslatable(EXParams& job, const uint8_t* reply, int32_t length, const char* inName);
};

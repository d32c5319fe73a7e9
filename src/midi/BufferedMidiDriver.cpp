#include "midi/BufferedMidiDriver.h"

MidiResult BufferedMidiDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    return m_Outputs.Prepare(handle, header);
}

MidiResult BufferedMidiDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    return m_Outputs.Unprepare(handle, header);
}

MidiResult BufferedMidiDriver::OutClose(MidiHandle handle) {
    return m_Outputs.Close(handle);
}

MidiResult BufferedMidiDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    return m_Inputs.Prepare(handle, header);
}

MidiResult BufferedMidiDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    return m_Inputs.AddBuffer(handle, header);
}

MidiResult BufferedMidiDriver::InStart(MidiHandle handle) {
    return m_Inputs.Start(handle);
}

MidiResult BufferedMidiDriver::InStop(MidiHandle handle) {
    return m_Inputs.Stop(handle);
}

MidiResult BufferedMidiDriver::InReset(MidiHandle handle) {
    return m_Inputs.Reset(handle);
}

MidiResult BufferedMidiDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    return m_Inputs.Unprepare(handle, header);
}

MidiResult BufferedMidiDriver::InClose(MidiHandle handle) {
    return m_Inputs.Close(handle);
}

#pragma once

// The two jobs. Each takes the address of a filled job record, writes "Sonavist.log" in the
// current directory, catches and logs every error, closes its ports, puts its outcome on the
// record (m_Result, its return value; m_ErrorLine; m_LogError), signals completion through the
// record's sink, then closes the log. Nothing escapes either function.
class EXWorker {
public:
    static unsigned IdentifyThread(void* param);
    // Owns the record's patch from its start and destroys it on every path.
    static unsigned SendVoiceThread(void* param);
};

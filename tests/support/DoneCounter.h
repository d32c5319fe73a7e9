#pragma once

#include <atomic>
#include <cstring>

#include "conversation/TextSink.h"

// A completion sink that counts the "Done" texts it is given, from any thread.
class DoneCounter : public TextSink {
public:
    void InsertText(const char* text) override { m_Done += std::strcmp(text, "Done") == 0; }
    std::atomic<int> m_Done{0};
};

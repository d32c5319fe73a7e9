#pragma once

#include <functional>
#include <utility>

#include "conversation/TextSink.h"

// A sink that hands each text to a plain function, on the caller's thread.
class CallbackSink : public TextSink {
public:
    explicit CallbackSink(std::function<void(const char*)> callback)
        : m_Callback(std::move(callback)) {}
    void InsertText(const char* text) override { m_Callback(text); }

private:
    std::function<void(const char*)> m_Callback;
};

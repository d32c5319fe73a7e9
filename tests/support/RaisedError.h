#pragma once

#include <functional>
#include <string>

// What an action raised as an EXException: its message and source module, both empty when it
// raised nothing. The error object is deleted here.
struct RaisedError {
    std::string message;
    std::string module;

    static RaisedError From(const std::function<void()>& action);
};

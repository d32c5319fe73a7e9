#pragma once

// Where a job puts a text: the dialog's hidden completion edits and status window, or the
// command-line tool's callbacks. InsertText returns only when the text has been handled.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void InsertText(const char* text) = 0;
};

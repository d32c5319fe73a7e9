#pragma once

#include <cstdint>
#include <memory>

// The one error object. Raised as a pointer; the catcher reports it and deletes it.
// A null pointer stands for an error whose object could not be allocated.
class EXException {
public:
    EXException(const char* message, const char* sourceFile, int32_t line);
    virtual ~EXException() = default;

    // Formats "%s:%d %s\r\n" from the source file, the line and the message.
    void FormatLine(char* dest, unsigned size) const;

    // Allocates and throws; throws a null pointer when the allocation fails.
    [[noreturn]] static void Raise(const char* message, const char* sourceFile, int32_t line);
    // Raises a message of the form "Error 0x%X ..." with the platform's result code.
    [[noreturn]] static void RaiseCode(const char* format, uint32_t code, const char* sourceFile,
                                       int32_t line);

    // Runs `step` and catches the error it raises: `report` sees it (null when its allocation
    // failed) and it is deleted afterwards. The one place that takes ownership of a raised error.
    // True when nothing was raised.
    template <typename Step, typename Report>
    static bool Catch(Step&& step, Report&& report);

    int32_t m_Line;
    char m_Message[80];
    char m_SourceFile[80];
};

template <typename Step, typename Report>
bool EXException::Catch(Step&& step, Report&& report) {
    try {
        step();
        return true;
    } catch (EXException* raised) {
        const std::unique_ptr<EXException> error(raised);
        report(static_cast<const EXException*>(error.get()));
    }
    return false;
}

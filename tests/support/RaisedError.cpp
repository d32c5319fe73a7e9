#include "support/RaisedError.h"

#include <memory>

#include "voice/EXException.h"

RaisedError RaisedError::From(const std::function<void()>& action) {
    try {
        action();
    } catch (EXException* raised) {
        const std::unique_ptr<EXException> error(raised);
        return error ? RaisedError{error->m_Message, error->m_SourceFile}
                     : RaisedError{"(no error object)", ""};
    }
    return {};
}

#include "support/RaisedError.h"

#include <memory>

#include "voice/EXException.h"

RaisedError RaisedError::From(const std::function<void()>& action) {
    RaisedError raised;
    EXException::Catch(action, [&](const EXException* error) {
        raised = error ? RaisedError{error->m_Message, error->m_SourceFile}
                       : RaisedError{"(no error object)", ""};
    });
    return raised;
}

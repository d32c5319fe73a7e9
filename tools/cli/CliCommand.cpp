#include "CliCommand.h"

#include <cstdio>
#include <memory>

#include "conversation/EXException.h"

int CliCommand::ReportError(EXException* error) {
    const std::unique_ptr<EXException> owned(error);
    if (!error) {
        std::fputs("Unidentified error\n", stderr);
    } else {
        std::fprintf(stderr, "%s:%d %s\n", error->m_SourceFile, error->m_Line, error->m_Message);
    }
    return 1;
}

int CliCommand::UsageError(const std::string& problem) const {
    std::fprintf(stderr, "sonavist-cli: %s\nusage: sonavist-cli %s %s\n", problem.c_str(), Name(),
                 Usage());
    return 2;
}

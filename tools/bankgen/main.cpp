#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "BankDescription.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "sonavist-bankgen: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(BankDescription::Help(), stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(BankDescription::Help(), stderr);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        return Fail(std::string("cannot read ") + argv[1]);
    }
    std::string error;
    const auto description = BankDescription::Parse(in, error);
    const auto image = description ? description->BuildImage(error) : std::nullopt;
    if (!image) {
        return Fail(std::string(argv[1]) + ": " + error);
    }
    if (!image->Write(argv[2])) {
        return Fail(std::string("cannot write ") + argv[2]);
    }
    return 0;
}

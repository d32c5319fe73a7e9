#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/RegistryFile.h"

// Any bytes must parse or be refused without a crash, and whatever parses must read back
// the same after being written out again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto file = RegistryFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (file) {
        std::string text = file->Format();
        auto again = RegistryFile::Parse(text);
        if (!again || !(*again == *file)) {
            __builtin_trap();
        }
    }
    return 0;
}

#include "platform/FileKind.h"

#include <system_error>

bool FileKind::MayBlockOnOpen(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(path, error).type();
    return type == std::filesystem::file_type::fifo ||
           type == std::filesystem::file_type::character;
}

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "voice/EX5Parser.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

// Any file must load or be refused, and every row of what loads must lead back to its voice and
// to a well-formed bulk dump. The first input byte picks the file: odd, the rest is the whole
// file (short files, the read error); even, the rest patches a demo bank, each patch an offset
// of three bytes (big-endian), a length byte and that many bytes.

namespace {

constexpr uint8_t kStart = 0xF0;
constexpr uint8_t kEnd = 0xF7;
constexpr size_t kMaxRowLength = 22;

// The bank file lives in memory; LoadBank opens it again by its /proc path.
const std::string& FilePath(int& fd) {
    static int file = memfd_create("bank.s1v", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    fd = file;
    return path;
}

const std::vector<uint8_t>& DemoBank() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> bank(VoiceBank::kBankSize);
        FILE* file = std::fopen(SONAVIST_DEMO_BANK, "rb");
        Check(file && std::fread(bank.data(), 1, bank.size(), file) == bank.size());
        std::fclose(file);
        return bank;
    }();
    return bytes;
}

std::vector<uint8_t> FileBytes(const uint8_t* data, size_t size) {
    if (data[0] & 1) {
        return std::vector<uint8_t>(data + 1, data + size);
    }
    std::vector<uint8_t> bytes = DemoBank();
    for (size_t at = 1; at + 4 <= size;) {
        const size_t offset = (data[at] << 16 | data[at + 1] << 8 | data[at + 2]) % bytes.size();
        const size_t length =
            std::min<size_t>({data[at + 3], size - at - 4, bytes.size() - offset});
        std::copy_n(data + at + 4, length, bytes.begin() + offset);
        at += 4 + length;
    }
    return bytes;
}

void CheckDump(EX5Patch& patch) {
    const uint8_t* dump = patch.BuildDump();
    const size_t length = patch.GetDumpLength();
    const int32_t used = patch.GetUsedElementCount();
    Check(used >= 1 && used <= 4);
    Check(length == 435 + 152 * static_cast<size_t>(used - 1));
    Check(dump[0] == kStart && dump[length - 1] == kEnd);
    for (size_t i = 1; i + 1 < length; ++i) {
        Check(dump[i] < 0x80);
    }
    Check(EX5Parser().Checksum(dump + 4, length - 6) == dump[length - 2]);
}

void CheckRow(const VoiceBank& bank, const std::string& row) {
    Check(row.size() <= kMaxRowLength);
    const int voice = VoiceBank::VoiceIndexFromRow(row);
    Check(voice >= 0 && voice < VoiceBank::kVoiceCount && bank.VoiceRow(voice) == row);
    // A voice without elements is refused with an error, which is all right here.
    EXException::Catch(
        [&] {
            if (auto patch = bank.PatchForRow(row)) {
                CheckDump(*patch);
            }
        },
        [](const EXException*) {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    int fd = -1;
    const std::string& path = FilePath(fd);
    const std::vector<uint8_t> bytes = FileBytes(data, size);
    Check(ftruncate(fd, 0) == 0);
    Check(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));

    VoiceBank bank;
    bank.m_ShowInits = true;
    if (!EXException::Catch([&] { bank.LoadBank(path); }, [](const EXException*) {})) {
        Check(bytes.size() < VoiceBank::kBankSize);
        return 0;
    }
    std::vector<std::string> rows;
    bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
    Check(rows.size() == VoiceBank::kVoiceCount);
    for (const std::string& row : rows) {
        CheckRow(bank, row);
    }
    bank.m_ShowInits = false;
    size_t shown = 0;
    bank.FillVoiceList([&shown](const std::string&) { ++shown; });
    Check(shown <= rows.size());
    return 0;
}

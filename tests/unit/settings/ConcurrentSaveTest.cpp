#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ConfigFolderTest.h"
#include "platform/SettingsStore.h"

namespace {

class ConcurrentSaveTest : public ConfigFolderTest {};

// Two writers replace the file over and over while a reader parses it: the reader must
// never see a torn file and, thanks to the lock, neither writer may lose the other's values.
TEST_F(ConcurrentSaveTest, WritersNeverTearTheFileNorLoseValues) {
    constexpr int kWrites = 40;
    SettingsStore store;
    ASSERT_TRUE(store.OpenKey("Software\\Test", true));

    std::atomic<int> writersLeft = 2;
    std::atomic<int> tornReads = 0;
    auto writer = [&](char name) {
        for (int i = 0; i < kWrites; ++i) {
            store.PutNumber(std::string(1, name) + std::to_string(i), static_cast<uint32_t>(i));
        }
        --writersLeft;
    };
    std::vector<std::thread> threads;
    threads.emplace_back(writer, 'a');
    threads.emplace_back(writer, 'b');
    threads.emplace_back([&] {
        while (writersLeft > 0) {
            std::string text = ReadFile("HKEY_CURRENT_USER");
            if (!RegistryFile::Parse(text)) {
                ++tornReads;
            }
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }

    EXPECT_EQ(tornReads, 0);
    for (char name : {'a', 'b'}) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_EQ(store.GetNumber(std::string(1, name) + std::to_string(i), 999),
                      static_cast<uint32_t>(i));
        }
    }
}

}  // namespace

// The voice library over 1,000 generated banks (256,000 voices). Goals: a first scan within 3x
// the time cat takes to read the same files from the page cache plus StoreOnly (the database's
// own write); a re-scan with nothing changed under 50 ms; a query under 10 ms and at least 50x
// faster than QueryReadingBanks.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "BankDescription.h"
#include "library/FolderWalk.h"
#include "library/IndexScanner.h"
#include "library/NameMatcher.h"
#include "library/SqliteDatabase.h"
#include "library/VoiceIndex.h"
#include "support/ScratchFolder.h"
#include "voice/VoiceBank.h"

namespace {

constexpr int kBanks = 1000;
constexpr int kChanged = 10;
// About 250 voices match the query, about 16,000 the broad one.
constexpr const char* kQuery = "SOFT bell";
constexpr const char* kBroadQuery = "bell";

const char* const kWords[] = {"Grand", "Warm", "Glass", "Silk", "Deep",  "Saw",  "Soft", "Hard",
                              "Dark",  "Air",  "Metal", "Wood", "Wide",  "Thin", "Fat",  "Solo",
                              "Pluck", "Bell", "Rain",  "Fire", "Brass", "Reed", "Pipe", "Harp",
                              "Choir", "Pad",  "Lead",  "Bass", "Organ", "Keys", "Tine", "Noise"};
constexpr int kWordCount = 32;
const char* const kCodes[] = {"Pf", "Cp", "Or", "Gt", "Ba", "St", "Br", "Ld", "Pd", "xx"};

// One bank's description: names from the word lists, every voice's data its own.
std::string Description(int bank) {
    std::ostringstream text;
    for (int voice = 0; voice < VoiceBank::kVoiceCount; ++voice) {
        const int n = bank * VoiceBank::kVoiceCount + voice;
        std::string name = std::string(kWords[n % kWordCount]) + " " +
                           kWords[(n / kWordCount + bank) % kWordCount];
        name.resize(std::min(name.size(), VoiceBank::kNameLength));
        text << "voice " << VoiceBank::SlotOfVoice(voice) << ' ' << kCodes[n % 10] << " \"" << name
             << "\"\ncommon " << n + 1 << '\n';
        for (int element = 0; element <= n % 4; ++element) {
            text << "element " << element << ' ' << n * 4 + element + 1 << '\n';
        }
    }
    return text.str();
}

// The generated banks in a folder of their own, made once per run and removed at its end.
class Collection {
public:
    Collection() {
        std::filesystem::create_directories(m_Root.Path() / "banks");
        for (int bank = 0; bank < kBanks; ++bank) {
            std::istringstream in(Description(bank));
            std::string error;
            const auto image = BankDescription::Parse(in, error)->BuildImage(error);
            if (!image || !image->Write(BankPath(bank))) {
                std::abort();
            }
        }
    }

    std::string Folder() const { return m_Root.File("banks"); }
    std::string BankPath(int bank) const {
        return m_Root.File("banks/Bank" + std::to_string(bank) + ".s1v");
    }
    std::filesystem::path Database(const char* name) const { return m_Root.File(name); }

private:
    ScratchFolder m_Root{"sonavist-library-bench"};
};

Collection& Banks() {
    static Collection collection;
    return collection;
}

// A fresh index with every bank of the collection in it.
VoiceIndex& FullIndex() {
    static VoiceIndex index(Banks().Database("full.sqlite"));
    static const ScanReport first = index.Update({Banks().Folder()});
    return index;
}

void FirstScan(benchmark::State& state) {
    const auto file = Banks().Database("first.sqlite");
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(file.string() + suffix);
        }
        state.ResumeTiming();
        VoiceIndex index(file);
        benchmark::DoNotOptimize(index.Update({Banks().Folder()}).read);
    }
}
BENCHMARK(FirstScan)->Unit(benchmark::kMillisecond)->Iterations(1);

// What cat takes to read the banks from the page cache.
void CatBanks(benchmark::State& state) {
    const std::string command = "cat " + Banks().Folder() + "/*.s1v >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cat failed");
        }
    }
}
BENCHMARK(CatBanks)->Unit(benchmark::kMillisecond)->Iterations(1);

// The database's own share of a first scan: the banks' records written to an empty index.
void StoreOnly(benchmark::State& state) {
    FolderWalk walk(nullptr);
    walk.Walk(Banks().Folder());
    const std::vector<BankRecord> records = IndexScanner::Read(walk.m_Banks);
    const auto file = Banks().Database("store.sqlite");
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(file.string() + suffix);
        }
        std::vector<std::string> setAside;
        auto db = IndexFile::Open(file, setAside);
        state.ResumeTiming();
        IndexScanner(*db).Store(walk.m_Banks, records);
    }
}
BENCHMARK(StoreOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void RescanUnchanged(benchmark::State& state) {
    VoiceIndex& index = FullIndex();
    for (auto _ : state) {
        const ScanReport report = index.Update({Banks().Folder()});
        if (report.unchanged != kBanks) {
            state.SkipWithError("the re-scan read banks again");
        }
    }
}
BENCHMARK(RescanUnchanged)->Unit(benchmark::kMillisecond);

// Ten banks rewritten with a voice renamed and a new modification time.
void ChangeTenBanks(int round) {
    for (int bank = 0; bank < kChanged; ++bank) {
        const int fd = open(Banks().BankPath(bank * 97).c_str(), O_WRONLY);
        const char letter = static_cast<char>('a' + round % 26);
        const off_t nameByte = static_cast<off_t>(VoiceBank::kCommonOffset);
        const timespec times[2] = {{0, UTIME_NOW}, {1000000 + round, 0}};
        if (fd < 0 || pwrite(fd, &letter, 1, nameByte) != 1 || futimens(fd, times) != 0) {
            std::abort();
        }
        close(fd);
    }
}

void RescanTenChanged(benchmark::State& state) {
    VoiceIndex& index = FullIndex();
    static int round = 0;  // every run of the benchmark changes the banks anew
    for (auto _ : state) {
        state.PauseTiming();
        ChangeTenBanks(++round);
        state.ResumeTiming();
        if (index.Update({Banks().Folder()}).read != kChanged) {
            state.SkipWithError("the re-scan should read the ten changed banks");
        }
    }
}
BENCHMARK(RescanTenChanged)->Unit(benchmark::kMillisecond);

void Query(benchmark::State& state, const char* text) {
    VoiceIndex& index = FullIndex();
    VoiceQuery query;
    query.text = text;
    query.folders = {Banks().Folder()};
    size_t found = 0;
    for (auto _ : state) {
        found = index.Find(query).size();
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(Query, selective, kQuery)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, broad, kBroadQuery)->Unit(benchmark::kMillisecond);

// The same query without the index: every bank read afresh.
void QueryReadingBanks(benchmark::State& state) {
    const NameMatcher matcher(kQuery);
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        FolderWalk walk(nullptr);
        walk.Walk(Banks().Folder());
        VoiceBank bank;
        for (const FoundBank& file : walk.m_Banks) {
            bank.LoadBank(file.path);
            for (int voice = 0; voice < VoiceBank::kVoiceCount; ++voice) {
                const std::string name = bank.Name(voice);
                found += matcher.Matches(name) && !VoiceBank::IsInitName(name);
            }
        }
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK(QueryReadingBanks)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();

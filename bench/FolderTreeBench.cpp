// Expanding a folder that holds 10,000 subfolders: reading them and making their tree items.
// Selecting a folder that holds 10,000 bank files: finding them and listing them sorted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>

#include "CFolderTree.h"
#include "CSonavistDlg.h"

namespace {

class OneVolume : public VolumeProvider {
public:
    explicit OneVolume(std::string path) : m_Path(std::move(path)) {}
    std::vector<Volume> Volumes() override { return {{"Bench", m_Path, VolumeKind::Fixed}}; }

private:
    std::string m_Path;
};

class NoNetwork : public NetworkProvider {
public:
    bool Enumerate(const NetworkRecord*, std::vector<NetworkRecord>&) override { return false; }
};

void BM_ExpandTenThousandFolders(benchmark::State& state) {
    QTemporaryDir dir;
    QDir root(dir.path());
    for (int i = 0; i < 10000; ++i) {
        root.mkdir(QStringLiteral("Folder %1").arg(i, 5, 10, QLatin1Char('0')));
    }
    const auto volume = std::make_shared<OneVolume>(dir.path().toStdString() + "/");
    const auto network = std::make_shared<NoNetwork>();
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<CFolderTree>();
        tree->SetProviders(volume, network);
        tree->FillFolderTree(QByteArray());
        tree->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        tree->expandItem(tree->topLevelItem(0));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(tree->topLevelItem(0)->childCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExpandTenThousandFolders)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ListTenThousandBankFiles(benchmark::State& state) {
    QTemporaryDir dir;
    for (int i = 0; i < 10000; ++i) {
        QFile(dir.filePath(QStringLiteral("Bank %1.s1v").arg(i, 5, 10, QLatin1Char('0'))))
            .open(QIODevice::WriteOnly);
    }
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    CSonavistDlg dialog;
    dialog.show();
    QCoreApplication::processEvents();
    const QByteArray folder = QFile::encodeName(dir.path()) + "/";
    for (auto _ : state) {
        dialog.OnFolderSelected(folder);
        QCoreApplication::processEvents();
    }
    if (dialog.m_FileList->count() != 10000) {
        state.SkipWithError("the file list should hold every bank file");
    }
}
BENCHMARK(BM_ListTenThousandBankFiles)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

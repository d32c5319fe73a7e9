// Expanding a folder that holds 10,000 subfolders: reading them and making their tree items.
// Selecting a folder that holds 10,000 bank files: finding them and listing them sorted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <memory>

#include "CFolderTree.h"
#include "CSonavistDlg.h"
#include "support/FakeFolderSources.h"
#include "support/ScratchFolder.h"

namespace {

void BM_ExpandTenThousandFolders(benchmark::State& state) {
    ScratchFolder dir("sonavist-bench-tree");
    QDir root(QString::fromStdString(dir.Path().string()));
    for (int i = 0; i < 10000; ++i) {
        root.mkdir(QStringLiteral("Folder %1").arg(i, 5, 10, QLatin1Char('0')));
    }
    const auto volume = std::make_shared<FakeVolumes>(
        std::vector<Volume>{{"Bench", dir.Path().string() + "/", VolumeKind::Fixed}});
    const auto network = std::make_shared<FakeNetwork>();
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<CFolderTree>();
        tree->SetProviders(volume, network);
        tree->FillFolderTree(QString());
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
    ScratchFolder dir("sonavist-bench-files");
    const QString folder = QString::fromStdString(dir.Path().string()) + "/";
    for (int i = 0; i < 10000; ++i) {
        QFile(folder + QStringLiteral("Bank %1.s1v").arg(i, 5, 10, QLatin1Char('0')))
            .open(QIODevice::WriteOnly);
    }
    dir.PointAt("XDG_CONFIG_HOME", "config");
    CSonavistDlg dialog;
    dialog.show();
    QCoreApplication::processEvents();
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

// One scroll step of the tile map with the whole redraw chain painted, as a
// user holding an arrow key sees it: block mode against text mode, and the
// default geometry against the largest. Runs offscreen; not run by ctest.
#include "app/forms.h"
#include "app/kvrmain.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>

#include <random>

namespace {

struct Program {
    QTemporaryDir dir;
    std::unique_ptr<TQuarnTileMapper> main = createApplicationWindows();

    Program()
    {
        std::vector<char> rom(16 << 20);
        std::mt19937 rng(3);
        for (char& b : rom)
            b = static_cast<char>(rng());
        QFile file(dir.filePath(QStringLiteral("bench.nes")));
        file.open(QIODevice::WriteOnly);
        file.write(rom.data(), static_cast<qint64>(rom.size()));
        file.close();
        main->workbench().languageFolder = dir.filePath(QStringLiteral("lang"));
        main->setStartupFile(file.fileName());
        main->show();
        if (!main->workbench().state.romLoaded)
            qFatal("the benchmark ROM did not load");
    }
    Ttilemapform& tileMap() { return *main->workbench().forms.tileMapForm; }
};

Program& program()
{
    static Program p;
    return p;
}

void setGeometry(int tile, int block)
{
    Ttilemapform& map = program().tileMap();
    for (const char* name : {"twidth", "theight"})
        map.findChild<QSpinBox*>(QString::fromLatin1(name))->setValue(tile);
    for (const char* name : {"tlwidth", "tlheight"})
        map.findChild<QSpinBox*>(QString::fromLatin1(name))->setValue(block);
}

void scrollStep(benchmark::State& state, bool textMode, int tile, int block)
{
    Program& p = program();
    setGeometry(tile, block);
    p.main->action("vstrfont")->setChecked(textMode);
    Workbench& wb = p.main->workbench();
    state.SetLabel(std::to_string(wb.state.geometry.tileWidth) + "x" + std::to_string(wb.state.geometry.blockWidth));
    std::int64_t position = 0;
    for (auto _ : state) {
        position = (position + 1) % (1 << 20);
        p.tileMap().moveTileMapScroll(position);
        // Paint the windows the step changed, as the screen would show them.
        benchmark::DoNotOptimize(wb.forms.tileMapForm->grab());
        benchmark::DoNotOptimize(wb.forms.dataForm->grab());
        benchmark::DoNotOptimize(wb.forms.tileEditForm->grab());
    }
    p.main->action("vstrfont")->setChecked(false);
    setGeometry(8, 1);
}

// Marking another block, as the data map's selection does: the picture stays,
// only the frames move.
void markBlock(benchmark::State& state, int tile, int block)
{
    Program& p = program();
    setGeometry(tile, block);
    Workbench& wb = p.main->workbench();
    state.SetLabel(std::to_string(wb.state.geometry.tileWidth) + "x" + std::to_string(wb.state.geometry.blockWidth));
    int marked = 0;
    for (auto _ : state) {
        marked = (marked + 17) % 256;
        p.tileMap().setMarkedBlock(marked);
        benchmark::DoNotOptimize(wb.forms.tileMapForm->grab());
        benchmark::DoNotOptimize(wb.forms.dataForm->grab());
        benchmark::DoNotOptimize(wb.forms.tileEditForm->grab());
    }
    setGeometry(8, 1);
}

void BM_StepBlocks(benchmark::State& s) { scrollStep(s, false, 8, 1); }
void BM_StepText(benchmark::State& s) { scrollStep(s, true, 8, 1); }
void BM_StepLargestGrid(benchmark::State& s) { scrollStep(s, false, 16, 16); }
void BM_MarkBlock(benchmark::State& s) { markBlock(s, 8, 1); }
void BM_MarkBlockLargestGrid(benchmark::State& s) { markBlock(s, 16, 16); }

} // namespace

BENCHMARK(BM_StepBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepLargestGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkBlockLargestGrid)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// One finished palette edit: the colour cube, the 17×324 table with its hex file and
// the upload text, for a fully adjusted palette (every cell changed).
#include "command_texts.h"
#include "polar_palette_widget.h"

#include "offscreen_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QDir>

namespace {

void adjusted(PolarPaletteWidget &palette)
{
    palette.resize(800, 600);
    palette.applyRandomAdjustment();
}

void BM_PaletteGenerateCube(benchmark::State &state)
{
    PolarPaletteWidget palette;
    adjusted(palette);
    for (auto _ : state)
        palette.generate3DLUT();
}
BENCHMARK(BM_PaletteGenerateCube)->Unit(benchmark::kMicrosecond);

void BM_PaletteConvertWithHexFile(benchmark::State &state)
{
    PolarPaletteWidget palette;
    adjusted(palette);
    palette.generate3DLUT();
    for (auto _ : state)
        palette.convertToHisiFormat();
}
BENCHMARK(BM_PaletteConvertWithHexFile)->Unit(benchmark::kMicrosecond);

void BM_PaletteUploadText(benchmark::State &state)
{
    PolarPaletteWidget palette;
    adjusted(palette);
    palette.generate3DLUT();
    palette.convertToHisiFormat();
    for (auto _ : state)
        benchmark::DoNotOptimize(CommandTexts::paletteData(palette.hisiTable()));
}
BENCHMARK(BM_PaletteUploadText)->Unit(benchmark::kMicrosecond);

// What every release of a dragged point costs before the bytes go to the camera.
void BM_PaletteFinishedEdit(benchmark::State &state)
{
    PolarPaletteWidget palette;
    adjusted(palette);
    qint64 bytes = 0;
    for (auto _ : state) {
        palette.generate3DLUT();
        palette.convertToHisiFormat();
        const QByteArray text = CommandTexts::paletteData(palette.hisiTable());
        bytes = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["text_bytes"] = double(bytes);
}
BENCHMARK(BM_PaletteFinishedEdit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QDir::setCurrent(QDir::tempPath()); // the hex file is written to the working directory
    return runOffscreenBenchmarks(argc, argv);
}

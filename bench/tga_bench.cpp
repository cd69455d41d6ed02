// Decoding throughput of the lessons' TGA reader, against stb_image (the
// loader most projects reach for) and against a bare fread of the same bytes
// into a new buffer (the floor: any reader must allocate and read them).
// The 4096 x 4096 images are written by the benchmark and read from the page
// cache. Prints each throughput, then the two ratios for each depth.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <map>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb_image.h>

#include "Targa.h"
#include "TgaWriter.h"

namespace {

const int side = 4096;

// The images' folder, made fresh for this run and removed however it ends
// short of a crash (a failed write or read included).
char imageDir[] = "/tmp/lessons-tga-bench-XXXXXX";

std::string imagePath(int bits) {
    return std::string(imageDir) + "/" + std::to_string(bits) + ".tga";
}

void removeImages() {
    for (int bits : {24, 32}) remove(imagePath(bits).c_str());
    rmdir(imageDir);
}

void makeImages() {
    if (!mkdtemp(imageDir)) {
        perror("making the benchmark's folder");
        exit(1);
    }
    atexit(removeImages);
    for (int channels : {3, 4}) {
        tga::Image image = tga::makeImage(side, side, channels);
        for (size_t i = 0; i < image.rgba.size(); ++i)
            image.rgba[i] = (uint8_t)(i * 2654435761u >> 24);
        if (!tga::write(imagePath(channels * 8), image)) {
            perror("writing the benchmark images");
            exit(1);
        }
    }
}

size_t pixelBytes(int bits) { return (size_t)side * side * bits / 8; }

void LoadTGAImage(benchmark::State& state) {
    int bits = (int)state.range(0);
    std::string path = imagePath(bits);
    for (auto _ : state) {
        TARGAINFO info;
        GLubyte* p = ::LoadTGAImage(path.data(), &info);
        if (!p) state.SkipWithError("LoadTGAImage failed");
        benchmark::DoNotOptimize(p);
        free(p);
    }
    state.SetBytesProcessed(state.iterations() * pixelBytes(bits));
}

void stbi_load(benchmark::State& state) {
    int bits = (int)state.range(0);
    std::string path = imagePath(bits);
    for (auto _ : state) {
        int w, h, n;
        stbi_uc* p = ::stbi_load(path.c_str(), &w, &h, &n, 0);
        if (!p) state.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(p);
        stbi_image_free(p);
    }
    state.SetBytesProcessed(state.iterations() * pixelBytes(bits));
}

void fread_floor(benchmark::State& state) {
    int bits = (int)state.range(0);
    std::string path = imagePath(bits);
    size_t bytes = pixelBytes(bits);
    for (auto _ : state) {
        FILE* f = fopen(path.c_str(), "rb");
        unsigned char* p = (unsigned char*)malloc(bytes);
        if (!f || !p || fseek(f, 18, SEEK_SET) != 0 || fread(p, 1, bytes, f) != bytes)
            state.SkipWithError("fread failed");
        benchmark::DoNotOptimize(p);
        free(p);
        if (f) fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK(LoadTGAImage)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(stbi_load)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(fread_floor)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Google Benchmark 1.7 marks a failed run with `error_occurred`; 1.8 and later
// replaced it with `skipped`. Whichever this version has decides.
template <class Run>
auto runFailed(const Run& run, int) -> decltype(bool(run.error_occurred)) {
    return run.error_occurred;
}
template <class Run>
auto runFailed(const Run& run, long) -> decltype(static_cast<int>(run.skipped) != 0) {
    return static_cast<int>(run.skipped) != 0;
}

// Keeps each benchmark's time per image, by name and depth ("stbi_load/24"),
// so the ratios come from this run.
class RatioReporter : public benchmark::ConsoleReporter {
   public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!runFailed(run, 0))
                seconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedRealTime();
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    makeImages();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nThroughput ratios (higher is better for LoadTGAImage):\n");
    for (int bits : {24, 32}) {
        std::string arg = "/" + std::to_string(bits);
        double ours = reporter.seconds["LoadTGAImage" + arg];
        double stb = reporter.seconds["stbi_load" + arg];
        double floor = reporter.seconds["fread_floor" + arg];
        if (ours > 0 && stb > 0 && floor > 0)
            printf(
                "  %d-bit: LoadTGAImage / stbi_load = %.2f   LoadTGAImage / fread floor = %.2f\n",
                bits, stb / ours, floor / ours);
    }
    benchmark::Shutdown();
    return 0;
}

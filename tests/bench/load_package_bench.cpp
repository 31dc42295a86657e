// Loading the settings of a package with 100,000 file entries, then reading every entry in
// order the way the installation loop does.
#include <benchmark/benchmark.h>

#include "package/settings_loader.h"
#include "package_builder.h"

namespace {
const TempDir& Dir() {
    static TempDir dir;
    return dir;
}

const std::string& PackageWith(int files) {
    static std::string path;
    if (path.empty()) {
        TestPackage pkg;
        pkg.items[40] = "Benchmark";
        for (int i = 0; i < files; ++i)
            pkg.AddFile("file" + std::to_string(i) + ".dat", "",
                        "data\\sub" + std::to_string(i % 100), i % 8, "", 1000, 2000 + i,
                        i % 2 == 0);
        path = Dir().File("setup.exe");
        pkg.Write(path);
    }
    return path;
}

void BM_LoadPackage100k(benchmark::State& state) {
    const std::string& exe = PackageWith(100000);
    for (auto _ : state) {
        package::SetupModel model;
        package::LoadSettings(exe.c_str(), &model);
        long long total = 0;
        for (int i = 0; i < model.fileList.count; ++i) {
            model.fileList.SeekTo(i);
            total += model.fileList.Current()->dataLength;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_LoadPackage100k)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();

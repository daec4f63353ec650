// Runs the chart-store fuzz entry over the stored seeds, then over a few thousand random and
// mutated byte strings from a fixed seed, so every build (and the sanitizer build) exercises it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "fuzz/chartstorefuzz.h"

namespace {

void Run(const std::vector<uint8_t> &bytes)
{
    FuzzChartStoreEveryUse(bytes.data(), bytes.size());
}

// A random byte string biased towards the record types the store knows.
std::vector<uint8_t> Random(std::mt19937 &rng)
{
    std::uniform_int_distribution<int> length(0, 200), byte(0, 255), kind(0, 3);
    std::vector<uint8_t> bytes(size_t(length(rng)));
    for (uint8_t &b : bytes)
        b = uint8_t(kind(rng) == 0 ? 1 + byte(rng) % 11 : byte(rng));
    return bytes;
}

void Mutate(std::vector<uint8_t> &bytes, std::mt19937 &rng)
{
    std::uniform_int_distribution<int> byte(0, 255), op(0, 3);
    if (bytes.empty()) {
        bytes.push_back(uint8_t(byte(rng)));
        return;
    }
    std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
    switch (op(rng)) {
        case 0: bytes[at(rng)] = uint8_t(byte(rng)); break;
        case 1: bytes.resize(at(rng)); break;
        case 2: bytes.insert(bytes.begin() + ptrdiff_t(at(rng)), uint8_t(byte(rng))); break;
        default: std::swap(bytes[at(rng)], bytes[at(rng)]); break;
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::vector<std::vector<uint8_t>> seeds;
    const QDir dir(QStringLiteral(KESTROVA_CHART_SEEDS));
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read seed %s\n", qPrintable(name));
            return 1;
        }
        const QByteArray data = file.readAll();
        seeds.emplace_back(data.begin(), data.end());
    }
    if (seeds.size() < 3) {
        std::fprintf(stderr, "expected the stored seeds in %s\n", KESTROVA_CHART_SEEDS);
        return 1;
    }
    for (const auto &seed : seeds)
        Run(seed);
    std::mt19937 rng(20261208);
    int runs = int(seeds.size());
    for (int i = 0; i < 1500; ++i, ++runs)
        Run(Random(rng));
    for (int i = 0; i < 1500; ++i, ++runs) {
        std::vector<uint8_t> bytes = seeds[size_t(i) % seeds.size()];
        for (int m = 0; m <= i % 8; ++m)
            Mutate(bytes, rng);
        Run(bytes);
    }
    FuzzChartStoreShutdown();
    std::printf("%d inputs replayed\n", runs);
    return 0;
}

#pragma once

#include <cstddef>
#include <cstdint>

// Feeds bytes to a chart as its command store and runs what reads a store: screen replay
// (batched and one line at a time, which must give the same pixels), paper replay with
// RecalculaPontos, or an append and the text export. FuzzChartStore runs one of the three,
// picked by the input's length (the fuzzer's entry); FuzzChartStoreEveryUse runs all three (the
// corpus replay). Both abort on a broken invariant and return 0.
int FuzzChartStore(const uint8_t *data, size_t size);
int FuzzChartStoreEveryUse(const uint8_t *data, size_t size);
// Frees what the entry keeps between inputs (call before the application object goes).
void FuzzChartStoreShutdown();

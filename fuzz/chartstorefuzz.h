#pragma once

#include <cstddef>
#include <cstdint>

// Feeds bytes to a chart as its command store and runs everything that reads a store: screen
// replay (batched and one line at a time, which must give the same pixels), paper replay,
// RecalculaPontos and the text export. Aborts on a broken invariant; returns 0.
int FuzzChartStore(const uint8_t *data, size_t size);
// Frees what the entry keeps between inputs (call before the application object goes).
void FuzzChartStoreShutdown();

#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz entries besides the chart store's (chartstorefuzz.h): each takes any bytes, runs one
// parser of outside data over them, checks what must hold, and returns 0. A broken check or a
// sanitizer report stops the run.

// The chart's streamed properties, its axes' included, as a JSON object; then a small repaint.
int FuzzChartProperties(const uint8_t *data, size_t size);
// The somatochart's streamed properties (its points as "Pontos" and as the PontosJson text);
// bytes that are not a JSON object go to PontosJson as they are. Then a small repaint.
int FuzzSomatochartProperties(const uint8_t *data, size_t size);
// The printable edit's streamed properties.
int FuzzEditProperties(const uint8_t *data, size_t size);
// Bytes received by the simulated board: its frame parser and command execution.
int FuzzBoardFrames(const uint8_t *data, size_t size);
// Bytes received by the controller from the board (a noisy line), in chunks, between exchanges.
int FuzzOrvantaReceived(const uint8_t *data, size_t size);
// Typed numbers: TryStrToFloat, TryStrToInt, FormatFloat, the up-down's typed position and the
// points editor's coordinate fields.
int FuzzTypedNumbers(const uint8_t *data, size_t size);
// The version note reader over an ELF image.
int FuzzVersionNote(const uint8_t *data, size_t size);
// A Bluetooth Heart Rate Measurement notification (heartrate/), then the same bytes as hex text.
int FuzzHeartRateMeasurement(const uint8_t *data, size_t size);

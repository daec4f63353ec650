#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <cstddef>
#include <cstdint>

class QObject;

// Helpers shared by the fuzz entries.

// Creates the QApplication every entry needs (offscreen unless QT_QPA_PLATFORM says otherwise);
// it outlives every input, as a libFuzzer run never returns to destroy it.
void EnsureFuzzApplication();

// The input as bytes, without copying.
QByteArray FuzzBytes(const uint8_t *data, size_t size);

// Stops the run with a message when a checked property does not hold.
void FuzzCheck(bool holds, const char *what);

// Reads the input as a component's streamed properties (a JSON object) into object, then checks
// that what the component writes reads back to the same JSON. False when the input is not a JSON
// object (nothing was read).
bool FuzzReadProperties(QObject *object, const uint8_t *data, size_t size);

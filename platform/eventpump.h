#pragma once

#include "kestrova_platform_export.h"

// True on the thread that runs the application's event loop, and on any thread when no
// QCoreApplication exists (the caller is then its own "main" thread).
KESTROVA_PLATFORM_EXPORT bool IsMainThread();

// Lets the main thread process the events that are pending now, leaving user input (clicks and
// keys) queued so that waits never re-enter button handlers.
KESTROVA_PLATFORM_EXPORT void ProcessPendingEvents();

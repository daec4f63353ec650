#pragma once

#include <functional>

#include "kestrova_platform_export.h"

// Runs the body of a Qt event handler (paint, key, mouse, ...). Qt's event loop cannot carry an
// exception: one leaving a handler ends the program. Run catches whatever the body raises, writes
// it as a warning naming the handler, and returns false; the handler then ends as if it had done
// nothing more.
class KESTROVA_PLATFORM_EXPORT TEventGuard {
public:
    static bool Run(const char *handler, const std::function<void()> &body) noexcept;
};

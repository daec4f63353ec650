#pragma once

#include <QString>
#include <functional>

#include "kestrova_platform_export.h"

// The modal input dialog: a caption, a prompt, an edit of at most 255 characters holding value,
// OK and Cancel. Returns true with the edited text in value on OK; false on Cancel, value kept.
// A hook replaces the dialog, so tests can answer it.
using TInputQueryHook =
    std::function<bool(const QString &caption, const QString &prompt, QString &value)>;

KESTROVA_PLATFORM_EXPORT bool InputQuery(const QString &caption, const QString &prompt,
                                         QString &value);

// Installs a hook and returns the previous one; an empty hook restores the dialog.
KESTROVA_PLATFORM_EXPORT TInputQueryHook SetInputQueryHook(TInputQueryHook hook);

#pragma once

#include <QString>
#include <functional>

#include "kestrova_platform_export.h"

// Modal error boxes (error icon, one OK button) shown by components that must tell the user
// something without raising. In a widget application the box is a QMessageBox titled with the
// application's display name; elsewhere (command-line tools, tests without widgets) the text goes
// to standard error. A hook replaces both, so tests and tools can capture the text.
using TErrorMessageHook = std::function<void(const QString &text)>;

KESTROVA_PLATFORM_EXPORT void ShowErrorMessage(const QString &text);
// The same box with details the user can unfold (QMessageBox::setDetailedText); without a widget
// application the details follow the text on standard error. The details hook, when installed,
// takes both; otherwise the error message hook gets the text alone.
KESTROVA_PLATFORM_EXPORT void ShowErrorMessage(const QString &text, const QString &details);
using TErrorDetailsHook = std::function<void(const QString &text, const QString &details)>;
KESTROVA_PLATFORM_EXPORT TErrorDetailsHook SetErrorDetailsHook(TErrorDetailsHook hook);

// Installs a hook and returns the previous one; an empty hook restores the default behaviour.
KESTROVA_PLATFORM_EXPORT TErrorMessageHook SetErrorMessageHook(TErrorMessageHook hook);

// Runs a program's start-up and message loop, showing an Exception (or any std::exception) that
// escapes them in the error box while the application, and so the box, still exists.
KESTROVA_PLATFORM_EXPORT void RunShowingExceptions(const std::function<void()> &body);

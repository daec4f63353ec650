#pragma once

#include <QString>
#include <functional>

#include "platform/exception.h"

// The message of the Exception that action raises, or an empty string when it raises none.
inline QString RaisedBy(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

#include "kestrova_platform_export.h"

// The one exception type every Kestrova component raises: it carries a single message text, which
// callers show to the user as it stands.
class KESTROVA_PLATFORM_EXPORT Exception : public std::exception {
public:
    explicit Exception(const QString &message);

    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override;

private:
    QString FMessage;
    QByteArray FUtf8;
};

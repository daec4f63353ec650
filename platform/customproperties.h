#pragma once

#include <QJsonObject>

#include "kestrova_platform_export.h"

// Implemented by components that stream entries besides their Q_PROPERTYs (texts kept out of the
// property system, for instance). TPropertyStream calls WriteCustom after writing the
// properties and ReadCustom after reading them; ReadCustom must ignore missing or wrong-typed
// entries.
//
// Reading an object calls BeginRead before its first property and EndRead after ReadCustom (also
// when a step raised), so a component that redraws on each setter can draw once, at the end.
// Both do nothing by default.
class KESTROVA_PLATFORM_EXPORT TCustomProperties {
public:
    virtual ~TCustomProperties();
    virtual void WriteCustom(QJsonObject &json) const = 0;
    virtual void ReadCustom(const QJsonObject &json) = 0;
    virtual void BeginRead();
    virtual void EndRead();
};

#pragma once

#include <QJsonObject>
#include <QMetaProperty>
#include <QString>
#include <QVariant>

#include "kestrova_platform_export.h"

class QObject;

// Writes a component's published properties to JSON and reads them back.
//
// Which properties: those declared by the component's own classes (Qt's base classes such as
// QObject and QWidget are left out), readable, writable and stored. A property whose value
// equals the class' declared default, Q_CLASSINFO("default:<Name>", "<text>"), is omitted; the
// text is converted to the property's type first (enums by key name, colours by name or number,
// booleans "true"/"false"). A declared default that does not convert is ignored, so the value is
// always written.
//
// Values: numbers and booleans as JSON numbers and booleans; enums as key names ("psDash"),
// flags as "a|b"; TColor as its name or "$00BBGGRR"; QColor as "#RRGGBB" ("#AARRGGBB" when
// translucent); QFont as QFont::toString(); NaN and infinities as the strings "NaN", "Infinity",
// "-Infinity". A QObject* property (readable and stored; it need not be writable) is written as a
// nested object holding that sub-object's properties, omitted when it has nothing to write; on
// reading, the entries are applied to the sub-object the property returns. Objects implementing
// TCustomProperties add and read their own entries, and hear when their reading begins and ends.
//
// Reading sets a property that is absent from the JSON to its declared default (it was omitted
// because it had that value), so a round trip restores every value even where the constructor
// starts from another one. It ignores unknown keys and values of the wrong type or out of range
// for the property (an int property given 2.5 or 1e12 keeps its value), and a setter that raises
// leaves its property as it was; reading never raises.
class KESTROVA_PLATFORM_EXPORT TPropertyStream {
public:
    static QJsonObject Write(const QObject *object);
    static void Read(QObject *object, const QJsonObject &json);

    // The declared default of the property converted to its type, or an invalid QVariant when
    // none is declared or the text does not convert.
    static QVariant DeclaredDefault(const QMetaObject *meta, const QMetaProperty &property);
    // The JSON form of a value of the property's type (undefined when it has none), and back
    // (an invalid QVariant when the JSON value does not fit the type).
    static QJsonValue ToJson(const QMetaProperty &property, const QVariant &value);
    static QVariant FromJson(const QMetaProperty &property, const QJsonValue &json);

private:
    static QJsonObject WriteObject(const QObject *object, QList<const QObject *> &visiting);
    static void ReadObject(QObject *object, const QJsonObject &json, QList<QObject *> &visiting);
    static void ReadOwnProperties(QObject *object, const QJsonObject &json,
                                  QList<QObject *> &visiting);
    static int FirstOwnProperty(const QMetaObject *meta);
    static void WriteProperty(QObject *object, const QMetaProperty &property,
                              const QVariant &value);
};

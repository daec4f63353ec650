#include "propertystream.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QJsonArray>
#include <QLocale>
#include <QMetaEnum>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <cmath>
#include <exception>
#include <limits>

#include "platform/color.h"
#include "platform/customproperties.h"

namespace {

// The QMetaEnum of an enum- or flag-typed property, or an invalid one.
QMetaEnum EnumOf(const QMetaProperty &property)
{
    if (property.isEnumType())
        return property.enumerator();
    const QMetaType type = property.metaType();
    const QMetaObject *scope = type.metaObject();
    if (!(type.flags() & QMetaType::IsEnumeration) || !scope)
        return QMetaEnum();
    QByteArray name = type.name();
    name = name.mid(name.lastIndexOf(':') + 1);
    const int index = scope->indexOfEnumerator(name.constData());
    return index >= 0 ? scope->enumerator(index) : QMetaEnum();
}

bool IsSubObject(const QMetaProperty &property)
{
    return property.metaType().flags() & QMetaType::PointerToQObject;
}

bool IsIntegral(QMetaType type)
{
    switch (type.id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar: return true;
        default: return false;
    }
}

template <typename T>
bool InRange(double v)
{
    return v >= double(std::numeric_limits<T>::lowest()) &&
           v <= double(std::numeric_limits<T>::max());
}

bool FitsIntegral(QMetaType type, double v)
{
    if (!std::isfinite(v) || std::floor(v) != v)
        return false;
    switch (type.id()) {
        case QMetaType::Int: return InRange<int>(v);
        case QMetaType::UInt: return InRange<uint>(v);
        case QMetaType::Long: return InRange<long>(v);
        case QMetaType::ULong: return InRange<ulong>(v);
        case QMetaType::Short: return InRange<short>(v);
        case QMetaType::UShort: return InRange<ushort>(v);
        case QMetaType::Char: return InRange<char>(v);
        case QMetaType::SChar: return InRange<signed char>(v);
        case QMetaType::UChar: return InRange<uchar>(v);
        // Doubles hold integers exactly up to 2^53, which is what JSON numbers carry.
        case QMetaType::LongLong: return std::fabs(v) <= 9007199254740992.0;
        case QMetaType::ULongLong: return v >= 0 && v <= 9007199254740992.0;
        default: return false;
    }
}

bool IsFloating(QMetaType type)
{
    return type.id() == QMetaType::Double || type.id() == QMetaType::Float;
}

QVariant Converted(QVariant v, QMetaType type)
{
    return v.convert(type) ? v : QVariant();
}

QJsonValue DoubleToJson(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return v;
}

QVariant EnumFromText(const QMetaEnum &e, QMetaType type, const QString &text)
{
    bool ok = false;
    const QByteArray key = text.trimmed().toLatin1();
    const int value =
        e.isFlag() ? e.keysToValue(key.constData(), &ok) : e.keyToValue(key.constData(), &ok);
    return ok ? Converted(QVariant(value), type) : QVariant();
}

// The declared default text converted to the property's type.
QVariant DefaultFromText(const QMetaProperty &property, const QString &text)
{
    const QMetaType type = property.metaType();
    const QMetaEnum e = EnumOf(property);
    if (e.isValid())
        return EnumFromText(e, type, text);
    if (type == QMetaType::fromType<TColor>()) {
        TColor c;
        return TColor::FromString(text, &c) ? QVariant::fromValue(c) : QVariant();
    }
    if (type.id() == QMetaType::Bool) {
        if (text == QLatin1String("true") || text == QLatin1String("false"))
            return QVariant(text == QLatin1String("true"));
        return QVariant();
    }
    if (type.id() == QMetaType::QColor) {
        TColor c;
        if (TColor::FromString(text, &c))
            return QColor(c.ToQColor());
        const QColor q = QColor::fromString(text);
        return q.isValid() ? QVariant(q) : QVariant();
    }
    bool ok = false;
    if (IsIntegral(type)) {
        const double v = QLocale::c().toDouble(text.trimmed(), &ok);
        return ok && FitsIntegral(type, v) ? Converted(QVariant(qlonglong(v)), type) : QVariant();
    }
    if (IsFloating(type)) {
        const double v = QLocale::c().toDouble(text.trimmed(), &ok);
        return ok ? Converted(QVariant(v), type) : QVariant();
    }
    if (type.id() == QMetaType::QString)
        return text;
    return Converted(QVariant(text), type);
}

bool SameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return false;
    if (a.metaType() == QMetaType::fromType<TColor>() &&
        b.metaType() == QMetaType::fromType<TColor>())
        return a.value<TColor>() == b.value<TColor>();
    if (a.metaType().flags() & QMetaType::IsEnumeration)
        return a.toLongLong() == b.toLongLong();
    return a == b;
}

}  // namespace

void TPropertyStream::WriteProperty(QObject *object, const QMetaProperty &property,
                                    const QVariant &value)
{
    // A setter that refuses the value by raising leaves the property as it was; the remaining
    // properties are still read.
    try {
        property.write(object, value);
    } catch (const std::exception &) {
    }
}

int TPropertyStream::FirstOwnProperty(const QMetaObject *meta)
{
    // The component's own classes end where Qt's begin (QObject, QWidget, ...).
    for (const QMetaObject *m = meta; m; m = m->superClass()) {
        if (m->className()[0] == 'Q')
            return m->propertyCount();
    }
    return 0;
}

QVariant TPropertyStream::DeclaredDefault(const QMetaObject *meta, const QMetaProperty &property)
{
    // Converted once per class and property: every read and write of a component asks for
    // each of its defaults. Meta-objects live as long as the program.
    static QMutex guard;
    static QHash<QPair<const QMetaObject *, int>, QVariant> converted;
    const QPair<const QMetaObject *, int> id(meta, property.propertyIndex());
    {
        const QMutexLocker lock(&guard);
        const auto it = converted.constFind(id);
        if (it != converted.constEnd())
            return *it;
    }
    const QByteArray key = QByteArray("default:") + property.name();
    const int index = meta->indexOfClassInfo(key.constData());
    const QVariant value =
        index < 0 ? QVariant()
                  : DefaultFromText(property, QString::fromUtf8(meta->classInfo(index).value()));
    const QMutexLocker lock(&guard);
    converted.insert(id, value);
    return value;
}

QJsonValue TPropertyStream::ToJson(const QMetaProperty &property, const QVariant &value)
{
    const QMetaType type = property.metaType();
    const QMetaEnum e = EnumOf(property);
    if (e.isValid()) {
        const int v = value.toInt();
        const QByteArray keys = e.isFlag() ? e.valueToKeys(v) : QByteArray(e.valueToKey(v));
        return keys.isEmpty() ? QJsonValue(v) : QJsonValue(QString::fromLatin1(keys));
    }
    if (type == QMetaType::fromType<TColor>())
        return value.value<TColor>().ToString();
    switch (type.id()) {
        case QMetaType::Bool: return value.toBool();
        case QMetaType::QString: return value.toString();
        case QMetaType::Double:
        case QMetaType::Float: return DoubleToJson(value.toDouble());
        case QMetaType::QColor: {
            const QColor c = value.value<QColor>();
            return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
        }
        case QMetaType::QFont: return value.value<QFont>().toString();
        default: break;
    }
    if (IsIntegral(type))
        return QJsonValue(value.toDouble());
    const QJsonValue generic = QJsonValue::fromVariant(value);
    return generic.isNull() ? QJsonValue(QJsonValue::Undefined) : generic;
}

QVariant TPropertyStream::FromJson(const QMetaProperty &property, const QJsonValue &json)
{
    const QMetaType type = property.metaType();
    const QMetaEnum e = EnumOf(property);
    if (e.isValid()) {
        if (json.isString())
            return EnumFromText(e, type, json.toString());
        if (json.isDouble() && FitsIntegral(QMetaType::fromType<int>(), json.toDouble()) &&
            (e.isFlag() || e.valueToKey(json.toInt())))
            return Converted(QVariant(json.toInt()), type);
        return QVariant();
    }
    if (type == QMetaType::fromType<TColor>()) {
        TColor c;
        if (json.isString() && TColor::FromString(json.toString(), &c))
            return QVariant::fromValue(c);
        if (json.isDouble() && FitsIntegral(QMetaType::fromType<uint>(), json.toDouble()))
            return QVariant::fromValue(TColor(quint32(json.toDouble())));
        return QVariant();
    }
    if (IsIntegral(type)) {
        if (!json.isDouble() || !FitsIntegral(type, json.toDouble()))
            return QVariant();
        return Converted(QVariant(qlonglong(json.toDouble())), type);
    }
    if (IsFloating(type)) {
        if (json.isDouble())
            return Converted(QVariant(json.toDouble()), type);
        const QString s = json.toString();
        if (s == QLatin1String("NaN"))
            return Converted(QVariant(std::numeric_limits<double>::quiet_NaN()), type);
        if (s == QLatin1String("Infinity") || s == QLatin1String("-Infinity")) {
            const double inf = std::numeric_limits<double>::infinity();
            return Converted(QVariant(s.startsWith(u'-') ? -inf : inf), type);
        }
        return QVariant();
    }
    switch (type.id()) {
        case QMetaType::Bool: return json.isBool() ? QVariant(json.toBool()) : QVariant();
        case QMetaType::QString: return json.isString() ? QVariant(json.toString()) : QVariant();
        case QMetaType::QColor: {
            const QColor c = QColor::fromString(json.toString());
            return json.isString() && c.isValid() ? QVariant(c) : QVariant();
        }
        case QMetaType::QFont: {
            QFont f;
            return json.isString() && f.fromString(json.toString()) ? QVariant(f) : QVariant();
        }
        default: break;
    }
    if (json.isNull() || json.isUndefined() || json.isObject())
        return QVariant();
    return Converted(json.toVariant(), type);
}

QJsonObject TPropertyStream::Write(const QObject *object)
{
    QList<const QObject *> visiting;
    return object ? WriteObject(object, visiting) : QJsonObject();
}

void TPropertyStream::Read(QObject *object, const QJsonObject &json)
{
    QList<QObject *> visiting;
    if (object)
        ReadObject(object, json, visiting);
}

QJsonObject TPropertyStream::WriteObject(const QObject *object, QList<const QObject *> &visiting)
{
    visiting.append(object);
    QJsonObject json;
    const QMetaObject *meta = object->metaObject();
    for (int i = FirstOwnProperty(meta); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isReadable() || !p.isStored())
            continue;
        const QVariant value = p.read(object);
        if (IsSubObject(p)) {
            const QObject *sub = value.value<QObject *>();
            if (sub && !visiting.contains(sub)) {
                const QJsonObject nested = WriteObject(sub, visiting);
                if (!nested.isEmpty())
                    json.insert(QString::fromLatin1(p.name()), nested);
            }
            continue;
        }
        if (!p.isWritable() || SameValue(value, DeclaredDefault(meta, p)))
            continue;
        const QJsonValue v = ToJson(p, value);
        if (!v.isUndefined())
            json.insert(QString::fromLatin1(p.name()), v);
    }
    if (const auto *custom = dynamic_cast<const TCustomProperties *>(object))
        custom->WriteCustom(json);
    visiting.removeLast();
    return json;
}

void TPropertyStream::ReadObject(QObject *object, const QJsonObject &json,
                                 QList<QObject *> &visiting)
{
    visiting.append(object);
    auto *custom = dynamic_cast<TCustomProperties *>(object);
    if (custom)
        custom->BeginRead();
    std::exception_ptr raised;
    try {
        ReadOwnProperties(object, json, visiting);
        if (custom)
            custom->ReadCustom(json);
    } catch (...) {
        raised = std::current_exception();
    }
    if (custom)
        custom->EndRead();
    visiting.removeLast();
    if (raised)
        std::rethrow_exception(raised);
}

void TPropertyStream::ReadOwnProperties(QObject *object, const QJsonObject &json,
                                        QList<QObject *> &visiting)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = FirstOwnProperty(meta); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isReadable() || !p.isStored())
            continue;
        const auto it = json.constFind(QString::fromLatin1(p.name()));
        const bool present = it != json.constEnd();
        if (IsSubObject(p)) {
            // An absent sub-object was all defaults when written.
            QObject *sub = p.read(object).value<QObject *>();
            if (sub && !visiting.contains(sub) && (!present || it->isObject()))
                ReadObject(sub, present ? it->toObject() : QJsonObject(), visiting);
            continue;
        }
        if (!p.isWritable())
            continue;
        // An absent property had its declared default when written.
        const QVariant value = present ? FromJson(p, *it) : DeclaredDefault(meta, p);
        if (value.isValid())
            WriteProperty(object, p, value);
    }
}

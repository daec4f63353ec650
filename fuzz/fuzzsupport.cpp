#include "fuzz/fuzzsupport.h"

#include <QApplication>
#include <QJsonDocument>
#include <cstdio>
#include <cstdlib>

#include "platform/propertystream.h"

void EnsureFuzzApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kestrova_fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

void FuzzCheck(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

bool FuzzReadProperties(QObject *object, const uint8_t *data, size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(FuzzBytes(data, size));
    if (!document.isObject())
        return false;
    TPropertyStream::Read(object, document.object());
    const QJsonObject written = TPropertyStream::Write(object);
    TPropertyStream::Read(object, written);
    const QJsonObject again = TPropertyStream::Write(object);
    if (written != again) {
        std::fprintf(stderr, "written:   %s\nread back: %s\n",
                     QJsonDocument(written).toJson(QJsonDocument::Compact).constData(),
                     QJsonDocument(again).toJson(QJsonDocument::Compact).constData());
        FuzzCheck(false, "the properties written do not read back to the same JSON");
    }
    return true;
}

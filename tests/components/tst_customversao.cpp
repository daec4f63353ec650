#include <QApplication>
#include <QFile>
#include <QMetaProperty>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <functional>

#include "components/customversao.h"
#include "components/productversion.h"

using kestrova::components::ReadProductVersion;
using kestrova::components::ReadVersionInfo;
using kestrova::components::TVersionNumbers;

namespace {

// A minimal ELF image: null section, the version note, the section names. Fields follow the
// class (32 or 64 bit) and byte order asked for.
class TElfBuilder {
public:
    TElfBuilder(bool is64, bool big) : F64(is64), FBig(big) {}

    QByteArray Build(const TVersionNumbers &product, const TVersionNumbers &file)
    {
        const QByteArray names = QByteArray("\0.note.kestrova.version\0.shstrtab\0", 34);
        QByteArray note;
        Put(note, 9, 4);
        Put(note, 16, 4);
        Put(note, 1, 4);
        note.append("Kestrova\0\0\0\0", 12);
        for (const std::uint16_t n : product) {
            Put(note, n, 2);
        }
        for (const std::uint16_t n : file) {
            Put(note, n, 2);
        }
        const int header = F64 ? 64 : 52;
        const int entry = F64 ? 64 : 40;
        const int noteAt = header;
        const int namesAt = noteAt + note.size();
        const int tableAt = (namesAt + names.size() + 7) / 8 * 8;

        QByteArray image(
            "\x7f"
            "ELF",
            4);
        image.append(char(F64 ? 2 : 1)).append(char(FBig ? 2 : 1)).append(char(1));
        image.append(QByteArray(9, '\0'));
        Put(image, 2, 2);  // executable
        Put(image, 62, 2);
        Put(image, 1, 4);
        PutWord(image, 0);  // entry
        PutWord(image, 0);  // program headers
        PutWord(image, tableAt);
        Put(image, 0, 4);
        Put(image, header, 2);
        Put(image, 0, 2);
        Put(image, 0, 2);
        Put(image, entry, 2);
        Put(image, 3, 2);
        Put(image, 2, 2);
        image.append(note).append(names);
        image.append(QByteArray(tableAt - image.size(), '\0'));
        image.append(QByteArray(entry, '\0'));
        Section(image, 1, 7, noteAt, note.size(), 4);
        Section(image, 24, 3, namesAt, names.size(), 1);
        return image;
    }

private:
    void Put(QByteArray &out, quint64 value, int bytes) const
    {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (FBig ? bytes - 1 - i : i);
            out.append(char((value >> shift) & 0xff));
        }
    }
    void PutWord(QByteArray &out, quint64 value) const { Put(out, value, F64 ? 8 : 4); }
    void Section(QByteArray &out, quint32 name, quint32 type, quint64 offset, quint64 size,
                 quint64 align) const
    {
        Put(out, name, 4);
        Put(out, type, 4);
        PutWord(out, 0);  // flags
        PutWord(out, 0);  // address
        PutWord(out, offset);
        PutWord(out, size);
        Put(out, 0, 4);
        Put(out, 0, 4);
        PutWord(out, align);
        PutWord(out, 0);
    }

    bool F64;
    bool FBig;
};

}  // namespace

class TstCustomVersao : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void labelShowsEmbeddedProductVersion();
    void executableWithoutNoteShowsUnknown();
    void readerHandlesEveryElfKind_data();
    void readerHandlesEveryElfKind();
    void brokenFilesGiveNoVersion_data();
    void brokenFilesGiveNoVersion();
    void labelProperties();

private:
    QString Write(const QByteArray &bytes);

    QTemporaryDir FDir;
    QByteArray FSelf;
    int FFiles = 0;
};

void TstCustomVersao::initTestCase()
{
    QVERIFY(FDir.isValid());
    QFile self(QStringLiteral("/proc/self/exe"));
    QVERIFY(self.open(QIODevice::ReadOnly));
    FSelf = self.readAll();
    QVERIFY(FSelf.size() > 64);
}

QString TstCustomVersao::Write(const QByteArray &bytes)
{
    const QString path = FDir.filePath(QStringLiteral("file%1").arg(++FFiles));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

void TstCustomVersao::labelShowsEmbeddedProductVersion()
{
    QWidget form;
    auto *label = new TCustomVersao(&form);
    QCOMPARE(label->parentWidget(), &form);
    QCOMPARE(label->text(), QStringLiteral("2.10.0.7"));
    QCOMPARE(label->property("Caption").toString(), QStringLiteral("2.10.0.7"));

    // The note carries a different file version; the label shows the product version.
    const auto info = ReadVersionInfo(QCoreApplication::applicationFilePath().toStdString());
    QVERIFY(info.has_value());
    QCOMPARE(info->product, (TVersionNumbers{2, 10, 0, 7}));
    QCOMPARE(info->file, (TVersionNumbers{3, 1, 4, 1}));
}

void TstCustomVersao::executableWithoutNoteShowsUnknown()
{
    QVERIFY(!ReadProductVersion(PROBE_PATH).has_value());
    QProcess probe;
    probe.start(QStringLiteral(PROBE_PATH), {});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()), QStringLiteral("?.?.?.?"));
}

void TstCustomVersao::readerHandlesEveryElfKind_data()
{
    QTest::addColumn<bool>("is64");
    QTest::addColumn<bool>("big");
    QTest::newRow("ELF64 little endian") << true << false;
    QTest::newRow("ELF64 big endian") << true << true;
    QTest::newRow("ELF32 little endian") << false << false;
    QTest::newRow("ELF32 big endian") << false << true;
}

void TstCustomVersao::readerHandlesEveryElfKind()
{
    QFETCH(bool, is64);
    QFETCH(bool, big);
    const QByteArray image = TElfBuilder(is64, big).Build({65535, 0, 300, 7}, {1, 2, 3, 4});
    const auto version = ReadProductVersion(Write(image).toStdString());
    QVERIFY(version.has_value());
    QCOMPARE(QString::fromStdString(*version), QStringLiteral("65535.0.300.7"));
    // Every shorter prefix of the image lacks part of the section table.
    for (qsizetype cut :
         {qsizetype(0), qsizetype(4), qsizetype(20), image.size() / 2, image.size() - 1}) {
        QVERIFY2(!ReadProductVersion(Write(image.left(cut)).toStdString()).has_value(),
                 qPrintable(QString::number(cut)));
    }
}

// Each row: a file content derived from this test's own executable, which does carry a note.
void TstCustomVersao::brokenFilesGiveNoVersion_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray self = FSelf;
    const bool is64 = self.at(4) == 2;
    const auto patched = [&](qsizetype at, const QByteArray &with) {
        QByteArray copy = self;
        copy.replace(at, with.size(), with);
        return copy;
    };
    const auto le = [](quint64 value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i) {
            out.append(char((value >> (8 * i)) & 0xff));
        }
        return out;
    };
    const qsizetype shoff = is64 ? 40 : 32;
    const qsizetype shentsize = is64 ? 58 : 46;

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("#!/bin/sh\necho 2.10.0.7\n");
    QByteArray garbage(8192, '\0');
    QRandomGenerator random(7);
    for (char &c : garbage) {
        c = char(random.bounded(256));
    }
    QTest::newRow("garbage") << garbage;
    QTest::newRow("magic then garbage") << QByteArray(
                                               "\x7f"
                                               "ELF",
                                               4) +
                                               garbage;
    QTest::newRow("header only") << self.left(64);
    QTest::newRow("truncated half") << self.left(self.size() / 2);
    QTest::newRow("truncated by one") << self.left(self.size() - 1);
    QTest::newRow("bad class") << patched(4, QByteArray(1, '\3'));
    QTest::newRow("table offset huge") << patched(shoff, le(~quint64(0) - 15, is64 ? 8 : 4));
    QTest::newRow("table past end") << patched(shoff, le(self.size() - 8, is64 ? 8 : 4));
    QTest::newRow("entry size small") << patched(shentsize, le(10, 2));
    QTest::newRow("section count huge") << patched(shentsize + 2, le(0xfeff, 2));
    QTest::newRow("names index out of range") << patched(shentsize + 4, le(0xfe00, 2));

    const QByteArray owner("Kestrova\0", 9);
    const qsizetype at = self.indexOf(le(9, 4) + le(16, 4) + le(1, 4) + owner);
    QVERIFY(at > 0);
    QTest::newRow("note name size huge") << patched(at, le(0xffffffff, 4));
    QTest::newRow("note desc size huge") << patched(at + 4, le(0xfffffff0, 4));
    QTest::newRow("note desc too short") << patched(at + 4, le(8, 4));
    QTest::newRow("note wrong owner") << patched(at + 12, QByteArray("Kestrovb"));
}

void TstCustomVersao::brokenFilesGiveNoVersion()
{
    QFETCH(QByteArray, bytes);
    const QString path = Write(bytes);
    QVERIFY(!path.isEmpty());
    QVERIFY(!ReadProductVersion(path.toStdString()).has_value());
    QCOMPARE(TCustomVersao::VersionText(path), QStringLiteral("?.?.?.?"));
}

void TstCustomVersao::labelProperties()
{
    QWidget form;
    TCustomVersao label(&form);
    const QMetaObject *meta = label.metaObject();
    const QMetaProperty caption = meta->property(meta->indexOfProperty("Caption"));
    QVERIFY(caption.isValid());
    QVERIFY(!caption.isWritable());
    QVERIFY(!label.setProperty("Caption", QStringLiteral("9.9.9.9")));
    QVERIFY(!label.setProperty("text", QStringLiteral("9.9.9.9")));
    QCOMPARE(label.text(), QStringLiteral("2.10.0.7"));

    QCOMPARE(label.Alignment(), TCustomVersao::taLeftJustify);
    QCOMPARE(label.Layout(), TCustomVersao::tlTop);
    label.SetAlignment(TCustomVersao::taCenter);
    label.SetLayout(TCustomVersao::tlBottom);
    QCOMPARE(label.Alignment(), TCustomVersao::taCenter);
    QCOMPARE(label.Layout(), TCustomVersao::tlBottom);
    QCOMPARE(label.alignment(), Qt::AlignHCenter | Qt::AlignBottom);
    // Values outside the enumerations (a bad stream, a QVariant int) change nothing.
    label.setProperty("Alignment", 7);
    label.setProperty("Layout", -1);
    label.SetAlignment(static_cast<TCustomVersao::TAlignment>(3));
    label.SetLayout(static_cast<TCustomVersao::TTextLayout>(-2));
    QCOMPARE(label.alignment(), Qt::AlignHCenter | Qt::AlignBottom);

    QVERIFY(!label.Transparent());
    QVERIFY(label.ParentColor());
    label.SetColor(TColor(0x0000FF));
    QVERIFY(!label.ParentColor());
    QCOMPARE(label.Color(), TColor(0x0000FF));
    label.SetParentColor(true);
    QVERIFY(label.ParentColor());

    QVERIFY(label.ParentFont());
    QFont bold = label.font();
    bold.setBold(true);
    label.SetFont(bold);
    QVERIFY(!label.ParentFont());
    label.SetParentFont(true);
    QVERIFY(label.ParentFont());
    QVERIFY(!label.font().bold());

    QVERIFY(label.Visible());
    label.setProperty("Visible", false);
    QVERIFY(!label.Visible());
}

QTEST_MAIN(TstCustomVersao)
#include "tst_customversao.moc"

#include <QJsonObject>
#include <QTest>

#include "platform/propertystream.h"
#include "somatochart/figurassomatocarta.h"

// Stands in for the chart: publishes the figures as a nested object, as the chart does.
class TDonoDasFiguras : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject *Figuras READ Figuras CONSTANT)

public:
    QObject *Figuras() const { return const_cast<TFigurasSomatocarta *>(&FFiguras); }
    TFigurasSomatocarta FFiguras;
};

class TstFigurasSomatocarta : public QObject {
    Q_OBJECT

private slots:
    void builtInFigures_data();
    void builtInFigures();
    void settingCopiesAndFiresOnce_data();
    void settingCopiesAndFiresOnce();
    void streamingOnlyChangedFigures();
    void streamingIgnoresBadEntries();
};

namespace {

// Figure i (mod 3): 0 endo, 1 meso, 2 ecto.
QImage Figura(const TFigurasSomatocarta &figuras, int i)
{
    switch (i % 3) {
        case 0: return figuras.FiguraEndo();
        case 1: return figuras.FiguraMeso();
        default: return figuras.FiguraEcto();
    }
}

void AjustarFigura(TFigurasSomatocarta &figuras, int i, const QImage &image)
{
    switch (i % 3) {
        case 0: figuras.AjustarFiguraEndo(image); break;
        case 1: figuras.AjustarFiguraMeso(image); break;
        default: figuras.AjustarFiguraEcto(image); break;
    }
}

struct TCounters {
    int endo = 0, meso = 0, ecto = 0;
    void Hook(TFigurasSomatocarta &figuras)
    {
        figuras.OnFiguraEndoAlterada = [this, &figuras](QObject *sender) {
            QCOMPARE(sender, &figuras);
            ++endo;
        };
        figuras.OnFiguraMesoAlterada = [this](QObject *) { ++meso; };
        figuras.OnFiguraEctoAlterada = [this](QObject *) { ++ecto; };
    }
    QList<int> All() const { return {endo, meso, ecto}; }
};

int DarkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

QImage Mancha(QRgb color)
{
    QImage image(12, 9, QImage::Format_RGB32);
    image.fill(color);
    image.setPixel(3, 4, qRgb(1, 2, 3));
    return image;
}

}  // namespace

void TstFigurasSomatocarta::builtInFigures_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("indice");
    QTest::newRow("endo") << "ENDO" << 0;
    QTest::newRow("meso") << "MESO" << 1;
    QTest::newRow("ecto") << "ECTO" << 2;
}

void TstFigurasSomatocarta::builtInFigures()
{
    QFETCH(QString, nome);
    QFETCH(int, indice);
    TFigurasSomatocarta figuras;
    const QImage images[] = {figuras.FiguraEndo(), figuras.FiguraMeso(), figuras.FiguraEcto()};
    const QImage &image = images[indice];
    QCOMPARE(image.size(), QSize(45, 45));
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image, TFigurasSomatocarta::FiguraPadrao(nome));
    // A black line figure on white: some ink, mostly paper, white corners.
    const int dark = DarkPixels(image);
    QVERIFY2(dark > 60 && dark < 45 * 45 / 3, qPrintable(QString::number(dark)));
    QCOMPARE(qGray(image.pixel(0, 0)), 255);
    QVERIFY(image != images[(indice + 1) % 3]);
}

void TstFigurasSomatocarta::settingCopiesAndFiresOnce_data()
{
    QTest::addColumn<int>("indice");
    QTest::newRow("endo") << 0;
    QTest::newRow("meso") << 1;
    QTest::newRow("ecto") << 2;
}

void TstFigurasSomatocarta::settingCopiesAndFiresOnce()
{
    QFETCH(int, indice);
    TFigurasSomatocarta figuras;
    TCounters counters;
    counters.Hook(figuras);
    const QImage others[] = {Figura(figuras, indice + 1), Figura(figuras, indice + 2)};

    QImage source = Mancha(qRgb(200, 10, 10));
    const QImage expected = source.copy();
    AjustarFigura(figuras, indice, source);
    source.fill(Qt::green);  // the figure holds its own copy
    QCOMPARE(Figura(figuras, indice), expected);
    QList<int> fired = {0, 0, 0};
    fired[indice] = 1;
    QCOMPARE(counters.All(), fired);
    QCOMPARE(Figura(figuras, indice + 1), others[0]);
    QCOMPARE(Figura(figuras, indice + 2), others[1]);
}

void TstFigurasSomatocarta::streamingOnlyChangedFigures()
{
    TDonoDasFiguras dono;
    QVERIFY(TPropertyStream::Write(&dono).isEmpty());  // built-in figures are not written

    const QImage meso = Mancha(qRgb(10, 200, 10));
    dono.FFiguras.AjustarFiguraMeso(meso);
    const QJsonObject json = TPropertyStream::Write(&dono);
    const QJsonObject nested = json.value("Figuras").toObject();
    QCOMPARE(nested.keys(), QStringList({"FiguraMeso"}));

    TDonoDasFiguras copia;
    TCounters counters;
    counters.Hook(copia.FFiguras);
    TPropertyStream::Read(&copia, json);
    QCOMPARE(copia.FFiguras.FiguraMeso().convertToFormat(QImage::Format_RGB32), meso);
    QCOMPARE(copia.FFiguras.FiguraEndo(), TFigurasSomatocarta::FiguraPadrao("ENDO"));
    QCOMPARE(counters.All(), QList<int>({0, 1, 0}));

    // Reading a stream without the entry brings the built-in figure back.
    TPropertyStream::Read(&copia, QJsonObject());
    QCOMPARE(copia.FFiguras.FiguraMeso(), TFigurasSomatocarta::FiguraPadrao("MESO"));
    QCOMPARE(counters.All(), QList<int>({0, 2, 0}));
}

void TstFigurasSomatocarta::streamingIgnoresBadEntries()
{
    TFigurasSomatocarta figuras;
    const QImage ecto = Mancha(qRgb(0, 0, 250));
    figuras.AjustarFiguraEcto(ecto);
    TCounters counters;
    counters.Hook(figuras);
    QJsonObject json;
    json.insert("FiguraEndo", 42);                    // wrong type
    json.insert("FiguraMeso", "not base64 at all!");  // does not decode
    json.insert("FiguraEcto", QString::fromLatin1(QByteArray("no png").toBase64()));
    figuras.ReadCustom(json);
    QCOMPARE(figuras.FiguraEndo(), TFigurasSomatocarta::FiguraPadrao("ENDO"));
    QCOMPARE(figuras.FiguraMeso(), TFigurasSomatocarta::FiguraPadrao("MESO"));
    QCOMPARE(figuras.FiguraEcto(), ecto);
    QCOMPARE(counters.All(), QList<int>({0, 0, 0}));
}

QTEST_MAIN(TstFigurasSomatocarta)
#include "tst_figurassomatocarta.moc"

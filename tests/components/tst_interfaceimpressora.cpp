#include <QJsonObject>
#include <QTest>
#include <cmath>
#include <limits>

#include "components/interfaceimpressora.h"
#include "platform/canvas.h"
#include "platform/printer.h"
#include "platform/propertystream.h"

namespace {

// Text measured as the fit test measures it: at 96 dpi with the given point size.
struct TReferencia {
    TCanvas canvas;
    explicit TReferencia(const QFont &font, int points)
    {
        canvas.SetPixelsPerInch(96, 96);
        canvas.Font() = TCanvas::TFont::FromQFont(font);
        canvas.Font().SetSize(points);
    }
    int Largura(const QString &text) const { return canvas.TextWidth(text); }
    int Linha() const { return canvas.TextMetrics().Height; }
};

const QFont kFonte(QStringLiteral("DejaVu Sans"), 10);

}  // namespace

class TstInterfaceImpressora : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void defaultsMatchDeclaredDefaults();
    void alignmentSetsDrawFormat_data();
    void alignmentSetsDrawFormat();
    void noPrinterUsesA4Width();
    void scaling_data();
    void scaling();
    void fitBoundaries_data();
    void fitBoundaries();
    void hugeBoxStaysBounded();
    void pageWidthIsReused();
    void streamingRoundTrip();
};

void TstInterfaceImpressora::cleanup()
{
    TInterfaceImpressora::AjustarFonteDaLargura({});
}

void TstInterfaceImpressora::defaultsMatchDeclaredDefaults()
{
    TInterfaceImpressora box(nullptr);
    QCOMPARE(box.Largura(), 400);
    QCOMPARE(box.Altura(), 60);
    QCOMPARE(box.LargDaPaginaNaTela(), 504);
    QCOMPARE(box.Alinhamento(), TInterfaceImpressora::taLeftJustify);
    QCOMPARE(box.FormatoDoTexto(), 0x510u);
    // Every declared default equals the constructor's value, so only the font is written.
    const QJsonObject json = TPropertyStream::Write(&box);
    QCOMPARE(json.keys(), QStringList{QStringLiteral("Fonte")});
}

void TstInterfaceImpressora::alignmentSetsDrawFormat_data()
{
    QTest::addColumn<TInterfaceImpressora::TAlignment>("before");
    QTest::addColumn<TInterfaceImpressora::TAlignment>("alignment");
    QTest::addColumn<unsigned>("format");
    QTest::newRow("left") << TInterfaceImpressora::taCenter << TInterfaceImpressora::taLeftJustify
                          << 0x510u;
    QTest::newRow("right") << TInterfaceImpressora::taLeftJustify
                           << TInterfaceImpressora::taRightJustify << 0x512u;
    QTest::newRow("centre") << TInterfaceImpressora::taRightJustify
                            << TInterfaceImpressora::taCenter << 0x511u;
}

void TstInterfaceImpressora::alignmentSetsDrawFormat()
{
    QFETCH(TInterfaceImpressora::TAlignment, before);
    QFETCH(TInterfaceImpressora::TAlignment, alignment);
    QFETCH(unsigned, format);
    TInterfaceImpressora box(nullptr);
    box.AjustarAlinhamento(before);
    box.AjustarAlinhamento(alignment);
    QCOMPARE(box.Alinhamento(), alignment);
    QCOMPARE(box.FormatoDoTexto(), format);
}

void TstInterfaceImpressora::noPrinterUsesA4Width()
{
    if (!TPrinter::Printers().isEmpty())
        QSKIP("a printer is installed here");
    QCOMPARE(TInterfaceImpressora::LarguraDaPagina(), 2480.3149606);
    TInterfaceImpressora box(nullptr);
    QFont font = kFonte;
    font.setPointSize(8);
    box.AjustarFonte(font);
    const TInterfaceImpressora::TMedida m = box.Medir(QStringLiteral("abc"));
    QCOMPARE(m.Razao, 2480.3149606 / 504);
    QCOMPARE(m.TamanhoDaFonte, 39);  // trunc(8 x 4.9213 + 0.5)
    QCOMPARE(m.Caixa, TRect::Bounds(0, 0, 1968, 295));
}

// Page width of the source, page width on the screen, point size (or -pixel size) ->
// ratio, scaled point size, box.
void TstInterfaceImpressora::scaling_data()
{
    QTest::addColumn<double>("page");
    QTest::addColumn<int>("screenPage");
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    const double a4 = 2480.3149606;
    QTest::newRow("A4 300 dpi") << a4 << 504 << 8 << a4 / 504 << 39 << 1968 << 295;
    QTest::newRow("A4 600 dpi") << 2 * a4 << 504 << 8 << 2 * a4 / 504 << 79 << 3937 << 590;
    QTest::newRow("half, 4.5 rounds up") << 252.0 << 504 << 9 << 0.5 << 5 << 200 << 30;
    QTest::newRow("half, 3.5 rounds up") << 252.0 << 504 << 7 << 0.5 << 4 << 200 << 30;
    QTest::newRow("pixel size 16 is 12 points") << 504.0 << 504 << -16 << 1.0 << 12 << 400 << 60;
    QTest::newRow("page width 0 -> ratio 1") << 0.0 << 504 << 8 << 1.0 << 8 << 400 << 60;
    QTest::newRow("page width NaN -> ratio 1")
        << std::numeric_limits<double>::quiet_NaN() << 504 << 8 << 1.0 << 8 << 400 << 60;
    QTest::newRow("screen page 0 -> ratio 1") << a4 << 0 << 8 << 1.0 << 8 << 400 << 60;
    QTest::newRow("screen page negative -> ratio 1") << a4 << -504 << 8 << 1.0 << 8 << 400 << 60;
}

void TstInterfaceImpressora::scaling()
{
    QFETCH(double, page);
    QFETCH(int, screenPage);
    QFETCH(int, size);
    QFETCH(double, ratio);
    QFETCH(int, points);
    QFETCH(int, width);
    QFETCH(int, height);
    TInterfaceImpressora::AjustarFonteDaLargura([page] { return page; });
    TInterfaceImpressora box(nullptr);
    QFont font = kFonte;
    if (size > 0)
        font.setPointSize(size);
    else
        font.setPixelSize(-size);
    box.AjustarFonte(font);
    box.AjustarLargDaPaginaNaTela(screenPage);
    QCOMPARE(box.LargDaPaginaNaTela(), screenPage);
    const TInterfaceImpressora::TMedida m = box.Medir(QStringLiteral("a"));
    QCOMPARE(m.Razao, ratio);
    QCOMPARE(m.TamanhoDaFonte, points);
    QCOMPARE(m.Caixa, TRect::Bounds(0, 0, width, height));
    // The text is measured with the scaled font.
    QCOMPARE(m.Desenho.Bottom, TReferencia(font, points).Linha());
}

// Unscaled (ratio 1). The box is the width of widthOf plus widthDelta by lines line heights plus
// heightDelta.
void TstInterfaceImpressora::fitBoundaries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("widthOf");
    QTest::addColumn<int>("widthDelta");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("heightDelta");
    QTest::addColumn<bool>("fits");
    const QString word = QStringLiteral("Kestrova");
    QTest::newRow("exact box") << word << word << 0 << 1 << 0 << true;
    QTest::newRow("one pixel narrower") << word << word << -1 << 1 << 0 << false;
    QTest::newRow("one pixel lower") << word << word << 0 << 1 << -1 << false;
    const QString two = QStringLiteral("ab cd");
    QTest::newRow("wraps, one line high") << two << two << -1 << 1 << 0 << false;
    QTest::newRow("wraps, two lines high") << two << two << -1 << 2 << 0 << true;
    QTest::newRow("no wrap in its width") << two << two << 0 << 1 << 0 << true;
    const QString fed = QStringLiteral("ab\ncd");
    QTest::newRow("line feed, one line high") << fed << two << 100 << 1 << 0 << false;
    QTest::newRow("line feed, two lines high") << fed << two << 100 << 2 << 0 << true;
    const QString accented = QStringLiteral("Ação");
    QTest::newRow("accented, exact box") << accented << accented << 0 << 1 << 0 << true;
    QTest::newRow("accented, one pixel narrower") << accented << accented << -1 << 1 << 0 << false;
    QTest::newRow("empty text is one line") << QString() << word << 0 << 1 << -1 << false;
}

void TstInterfaceImpressora::fitBoundaries()
{
    QFETCH(QString, text);
    QFETCH(QString, widthOf);
    QFETCH(int, widthDelta);
    QFETCH(int, lines);
    QFETCH(int, heightDelta);
    QFETCH(bool, fits);
    TInterfaceImpressora::AjustarFonteDaLargura([] { return 504.0; });
    const TReferencia ref(kFonte, 10);
    TInterfaceImpressora box(nullptr);
    box.AjustarFonte(kFonte);
    box.AjustarLargura(ref.Largura(widthOf) + widthDelta);
    box.AjustarAltura(lines * ref.Linha() + heightDelta);
    QCOMPARE(box.TextoCabe(text), fits);
}

void TstInterfaceImpressora::hugeBoxStaysBounded()
{
    TInterfaceImpressora::AjustarFonteDaLargura([] { return 2480.3149606; });
    TInterfaceImpressora box(nullptr);
    box.AjustarFonte(kFonte);
    box.AjustarLargDaPaginaNaTela(1);
    box.AjustarLargura(std::numeric_limits<int>::max());
    box.AjustarAltura(std::numeric_limits<int>::max());
    const TInterfaceImpressora::TMedida m = box.Medir(QStringLiteral("x"));
    QCOMPARE(m.Caixa.Right, 1 << 27);
    QCOMPARE(m.Caixa.Bottom, 1 << 27);
    QVERIFY(m.Cabe);
}

// The source is asked once per validity period, again after EsquecerLarguraDaPagina, and a new
// source at once.
void TstInterfaceImpressora::pageWidthIsReused()
{
    int calls = 0;
    double page = 504;
    TInterfaceImpressora::AjustarFonteDaLargura([&] {
        ++calls;
        return page;
    });
    TInterfaceImpressora box(nullptr);
    box.AjustarFonte(kFonte);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(box.Medir(QStringLiteral("a")).Razao, 1.0);
    QCOMPARE(calls, 1);

    page = 1008;
    QCOMPARE(box.Medir(QStringLiteral("a")).Razao, 1.0);
    TInterfaceImpressora::EsquecerLarguraDaPagina();
    QCOMPARE(box.Medir(QStringLiteral("a")).Razao, 2.0);
    QCOMPARE(calls, 2);

    // A stale value is read again once the validity has run out.
    page = 252;
    QTRY_VERIFY_WITH_TIMEOUT(box.Medir(QStringLiteral("a")).Razao == 0.5,
                             TInterfaceImpressora::kValidadeDaLarguraMs + 3000);
    QCOMPARE(calls, 3);

    TInterfaceImpressora::AjustarFonteDaLargura([] { return 2016.0; });
    QCOMPARE(box.Medir(QStringLiteral("a")).Razao, 4.0);
}

void TstInterfaceImpressora::streamingRoundTrip()
{
    TInterfaceImpressora box(nullptr);
    QFont font = kFonte;
    font.setBold(true);
    box.AjustarFonte(font);
    box.AjustarAlinhamento(TInterfaceImpressora::taCenter);
    box.AjustarLargura(321);
    box.AjustarAltura(45);
    box.AjustarLargDaPaginaNaTela(0);
    TInterfaceImpressora copy(nullptr);
    TPropertyStream::Read(&copy, TPropertyStream::Write(&box));
    QCOMPARE(copy.Fonte(), font);
    QCOMPARE(copy.Alinhamento(), TInterfaceImpressora::taCenter);
    QCOMPARE(copy.FormatoDoTexto(), 0x511u);
    QCOMPARE(copy.Largura(), 321);
    QCOMPARE(copy.Altura(), 45);
    QCOMPARE(copy.LargDaPaginaNaTela(), 0);
}

QTEST_MAIN(TstInterfaceImpressora)
#include "tst_interfaceimpressora.moc"

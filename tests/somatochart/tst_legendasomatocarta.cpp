#include <QJsonObject>
#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

#include "platform/propertystream.h"
#include "platform/recordingcanvas.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/legendasomatocarta.h"

using TCall = TRecordingCanvas::TCall;

// The recording canvas' fixed metrics at 96 dpi with the legend's 8-point font (height -10): rows
// are 13 pixels high and every character 5 pixels wide.
class TstLegendaSomatocarta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyLegendDrawsNothing();
    void rowGeometry();
    void coordinatesHidden();
    void shrinkNotification_data();
    void shrinkNotification();
    void movingErasesOldPlace_data();
    void movingErasesOldPlace();
    void hidingErases();
    void fontHeight();
    void extremeValuesStaySafe();
    void streamingRoundTrip();
};

namespace {

struct TLegendFixture {
    TRecordingCanvas canvas;
    TColecaoDePontos pontos;
    TLegendaSomatocarta legenda{&canvas, &pontos};
    int avisos = 0;

    TLegendFixture()
    {
        legenda.OnFundoPrecisaRepaint = [this](QObject *sender) {
            QCOMPARE(sender, &legenda);
            ++avisos;
        };
    }
    void Add(double x, double y, int forma, const QString &descricao, TColor cor = clRed)
    {
        pontos.AcrescentarPonto(x, y, cor, forma, 4, descricao);
    }
};

QList<int> Rect(int l, int t, int r, int b)
{
    return {l, t, r, b};
}

QStringList Texts(const TRecordingCanvas &canvas)
{
    QStringList texts;
    for (const TCall &c : canvas.CallsNamed("TextRect"))
        texts << c.Text;
    return texts;
}

}  // namespace

void TstLegendaSomatocarta::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TstLegendaSomatocarta::emptyLegendDrawsNothing()
{
    TLegendFixture f;
    QCOMPARE(f.legenda.Largura(), 0);
    QCOMPARE(f.legenda.Altura(), 0);
    f.legenda.Desenhar(true);
    f.legenda.Desenhar(false);
    for (const TCall &c : f.canvas.Calls()) {
        // Only the erase of a zero-size box may reach the canvas.
        QVERIFY2(c.Op == "FillRect" && c.Brush.Color == clNone, qPrintable(c.ToString()));
        QCOMPARE(c.Args, Rect(250, 5, 250, 5));
    }
    QCOMPARE(f.avisos, 0);
    QCOMPARE(f.legenda.Largura(), 0);

    // A legend emptied by deletion erases its box and has the background repainted.
    f.Add(1, 1, 0, "a");
    f.legenda.Desenhar(true);
    QVERIFY(f.legenda.Largura() > 0);
    f.pontos.ExcluirPonto(0);
    f.canvas.ClearCalls();
    f.legenda.Desenhar(true);
    QCOMPARE(f.avisos, 1);
    QCOMPARE(f.legenda.Largura(), 0);
    QCOMPARE(f.legenda.Altura(), 0);
    QVERIFY(f.canvas.CallsNamed("TextRect").isEmpty());
    QVERIFY(f.canvas.CallsNamed("FrameRect").isEmpty());
}

void TstLegendaSomatocarta::rowGeometry()
{
    TLegendFixture f;
    f.legenda.AjustarFcCorDeFundo(clYellow);
    f.legenda.AjustarFcCorDaBorda(clNavy);
    f.Add(1.5, -2, 0, "A", clRed);
    f.Add(-1, -1, 2, "no row", clBlue);
    f.Add(0, 3, 1, "Bb", clGreen);
    f.canvas.ClearCalls();
    f.legenda.Desenhar(true);

    // Width: (2 x 5 + 3) + 13 / 2 + widest row "(-1; -1) - no row" (17 chars x 5); the size
    // counts every point, the rows only shapes 0 and 1.
    QCOMPARE(f.legenda.Largura(), 13 + 6 + 85);
    QCOMPARE(f.legenda.Altura(), 3 * 13 + 10);
    const TRect box = f.legenda.Retangulo();
    QCOMPARE(box, (TRect{250, 5, 250 + 104, 5 + 49}));

    const QList<TCall> fills = f.canvas.CallsNamed("FillRect");
    QCOMPARE(fills.size(), 2);  // erase, background
    QCOMPARE(fills[0].Brush.Color, clNone);
    QCOMPARE(fills[1].Brush.Color, clYellow);
    QCOMPARE(fills[1].Args, Rect(250, 5, 354, 54));
    const QList<TCall> frames = f.canvas.CallsNamed("FrameRect");
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].Brush.Color, clNavy);

    // Row 1, circle: x0 = 255, y = 10, th = 13.
    const QList<TCall> ellipses = f.canvas.CallsNamed("Ellipse");
    QCOMPARE(ellipses.size(), 1);
    QCOMPARE(ellipses[0].Args, Rect(255, 13, 261, 19));
    QCOMPARE(ellipses[0].Pen.Color, clRed);
    QCOMPARE(ellipses[0].Brush.Color, clRed);
    QCOMPARE(ellipses[0].Brush.Style, TCanvas::bsSolid);

    // Row 2 (the third point), cross at y = 23.
    const QList<TCall> lines = f.canvas.CallsNamed("LineTo");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].PenPos, QPoint(255, 29));
    QCOMPARE(lines[0].Args, QList<int>({262, 29}));
    QCOMPARE(lines[1].PenPos, QPoint(258, 26));
    QCOMPARE(lines[1].Args, QList<int>({258, 33}));
    QCOMPARE(lines[1].Pen.Color, clGreen);

    const QList<TCall> texts = f.canvas.CallsNamed("TextRect");
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0].Text, QStringLiteral("(1.5; -2) - A"));
    QCOMPARE(texts[0].Args, QList<int>({264, 10, 264 + 65, 23, 264, 10}));
    QCOMPARE(texts[0].Brush.Style, TCanvas::bsClear);
    QCOMPARE(texts[0].Font.Color, clBlack);
    QCOMPARE(texts[1].Text, QStringLiteral("(0; 3) - Bb"));
    QCOMPARE(texts[1].Args, QList<int>({264, 23, 264 + 55, 36, 264, 23}));
    QCOMPARE(texts[1].TextAlign, unsigned(TCanvas::taLeft | TCanvas::taTop));
}

void TstLegendaSomatocarta::coordinatesHidden()
{
    TLegendFixture f;
    f.Add(1, 2, 0, "first");
    f.Add(3, 4, 1, QString());
    f.Add(5, 6, 0, "third");
    f.canvas.ClearCalls();
    f.legenda.AjustarFbMostrarCoord(false);
    QCOMPARE(Texts(f.canvas), QStringList({"first", "", "third"}));
    const QList<TCall> texts = f.canvas.CallsNamed("TextRect");
    // The empty description still takes its 13-pixel row.
    QCOMPARE(texts[1].Args[1], 23);
    QCOMPARE(texts[2].Args[1], 36);
    QCOMPARE(f.legenda.Largura(), 13 + 6 + 5 * 5);
}

void TstLegendaSomatocarta::shrinkNotification_data()
{
    QTest::addColumn<int>("pontos");
    QTest::addColumn<int>("fonte");
    QTest::addColumn<int>("avisos");
    QTest::newRow("fewer points") << 2 << 8 << 1;
    QTest::newRow("smaller font") << 3 << 6 << 1;
    QTest::newRow("more points") << 4 << 8 << 0;
    QTest::newRow("larger font") << 3 << 12 << 0;
    QTest::newRow("same size") << 3 << 8 << 0;
}

void TstLegendaSomatocarta::shrinkNotification()
{
    QFETCH(int, pontos);
    QFETCH(int, fonte);
    QFETCH(int, avisos);
    TLegendFixture f;
    for (int i = 0; i < 3; ++i)
        f.Add(i, i, 0, QStringLiteral("point %1").arg(i));
    f.legenda.Desenhar(true);
    f.avisos = 0;

    while (f.pontos.Count() > pontos)
        f.pontos.ExcluirPonto(f.pontos.Count() - 1);
    while (f.pontos.Count() < pontos)
        f.Add(1, 1, 0, "point 9");
    if (fonte != f.legenda.TamDaFonte())
        f.legenda.AjustarFiTamDaFonte(fonte);  // redraws with recomputation
    else
        f.legenda.Desenhar(true);
    QCOMPARE(f.avisos, avisos);
}

void TstLegendaSomatocarta::movingErasesOldPlace_data()
{
    QTest::addColumn<bool>("eixoX");
    QTest::newRow("CoordIniX") << true;
    QTest::newRow("CoordIniY") << false;
}

void TstLegendaSomatocarta::movingErasesOldPlace()
{
    QFETCH(bool, eixoX);
    TLegendFixture f;
    f.Add(0, 0, 0, "a");
    f.legenda.Desenhar(true);
    const TRect old = f.legenda.Retangulo();
    int callsAtEvent = -1;
    f.legenda.OnFundoPrecisaRepaint = [&](QObject *) {
        ++f.avisos;
        callsAtEvent = int(f.canvas.Calls().size());
    };
    f.canvas.ClearCalls();
    if (eixoX)
        f.legenda.AjustarFiCoordIniX(100);
    else
        f.legenda.AjustarFiCoordIniY(100);

    QCOMPARE(f.avisos, 1);
    const QList<TCall> &calls = f.canvas.Calls();
    QVERIFY(!calls.isEmpty());
    QCOMPARE(calls[0].Op, QStringLiteral("FillRect"));
    QCOMPARE(calls[0].Brush.Color, clNone);
    QCOMPARE(calls[0].Args, Rect(old.Left, old.Top, old.Right, old.Bottom));
    QCOMPARE(callsAtEvent, 1);  // erased before the owner repaints, drawn after
    const TRect moved = f.legenda.Retangulo();
    QCOMPARE(moved.Width(), old.Width());
    QCOMPARE(eixoX ? moved.Left : moved.Top, 100);
    QCOMPARE(f.canvas.CallsNamed("FrameRect").size(), 1);
    QCOMPARE(f.canvas.CallsNamed("FrameRect")[0].Args,
             Rect(moved.Left, moved.Top, moved.Right, moved.Bottom));

    // Hidden, the setter only stores.
    f.legenda.AjustarFbVisivel(false);
    f.canvas.ClearCalls();
    f.avisos = 0;
    f.legenda.AjustarFiCoordIniX(7);
    QCOMPARE(f.legenda.CoordIniX(), 7);
    QVERIFY(f.canvas.Calls().isEmpty());
    QCOMPARE(f.avisos, 0);
}

void TstLegendaSomatocarta::hidingErases()
{
    TLegendFixture f;
    f.Add(0, 0, 0, "a");
    f.legenda.Desenhar(true);
    const TRect box = f.legenda.Retangulo();
    f.canvas.ClearCalls();
    f.legenda.AjustarFbVisivel(false);
    QVERIFY(!f.legenda.Visivel());
    QCOMPARE(f.avisos, 1);
    QCOMPARE(f.canvas.Calls().size(), 1);
    QCOMPARE(f.canvas.Calls()[0].Op, QStringLiteral("FillRect"));
    QCOMPARE(f.canvas.Calls()[0].Brush.Color, clNone);
    QCOMPARE(f.canvas.Calls()[0].Args, Rect(box.Left, box.Top, box.Right, box.Bottom));

    // Hidden again: nothing to erase. Changes while hidden only store; showing sizes anew.
    f.canvas.ClearCalls();
    f.legenda.AjustarFbVisivel(false);
    f.legenda.AjustarFiTamDaFonte(16);
    f.legenda.AjustarFcCorDaFonte(clBlue);
    QVERIFY(f.canvas.Calls().isEmpty());
    QCOMPARE(f.avisos, 1);
    f.legenda.AjustarFbVisivel(true);
    QCOMPARE(f.avisos, 1);
    QCOMPARE(f.canvas.CallsNamed("TextRect").size(), 1);
    QCOMPARE(f.canvas.CallsNamed("TextRect")[0].Font.Height(), -21);
    QCOMPARE(f.canvas.CallsNamed("TextRect")[0].Font.Color, clBlue);
    QCOMPARE(f.legenda.Altura(), 27 + 10);  // 16 pt: E = 21, row 21 + 6
}

void TstLegendaSomatocarta::fontHeight()
{
    TLegendFixture f;
    QCOMPARE(f.legenda.AlturaDaFonte(), -10);
    f.canvas.SetPixelsPerInch(120, 120);
    QCOMPARE(f.legenda.AlturaDaFonte(), -13);
    f.canvas.SetPixelsPerInch(96, 96);
    f.Add(0, 0, 1, "a");
    f.legenda.AjustarFsNomeDaFonte("Arial");
    const QList<TCall> texts = f.canvas.CallsNamed("TextRect");
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts[0].Font.Height(), -10);
    QCOMPARE(texts[0].Font.Name, QStringLiteral("Arial"));
}

// Non-finite coordinates are only text; extreme streamed sizes and places saturate instead of
// overflowing (the sanitizer build checks the arithmetic).
void TstLegendaSomatocarta::extremeValuesStaySafe()
{
    TLegendFixture f;
    const double inf = std::numeric_limits<double>::infinity();
    QCOMPARE(f.legenda.TextoDaLinha(std::nan(""), inf, "x"), QStringLiteral("(nan; inf) - x"));
    f.Add(std::nan(""), -inf, 0, "x");
    f.legenda.AjustarFiTamDaFonte(std::numeric_limits<int>::max());
    QCOMPARE(f.legenda.AlturaDaFonte(), -32767);
    f.legenda.AjustarFiOffsetBorda(std::numeric_limits<int>::max());
    f.legenda.AjustarFiCoordIniX(std::numeric_limits<int>::max());
    f.legenda.AjustarFiCoordIniY(std::numeric_limits<int>::min());
    QCOMPARE(f.legenda.Largura(), std::numeric_limits<int>::max());
    QVERIFY(f.legenda.Retangulo().Right >= f.legenda.Retangulo().Left);
    f.legenda.AjustarFiTamDaFonte(-5);
    QCOMPARE(f.legenda.AlturaDaFonte(), 6);

    TLegendaSomatocarta semCanvas(nullptr, nullptr);
    semCanvas.Desenhar(true);
    semCanvas.Apagar();
    QCOMPARE(semCanvas.Largura(), 0);
}

void TstLegendaSomatocarta::streamingRoundTrip()
{
    TLegendFixture f;
    const QJsonObject initial = TPropertyStream::Write(&f.legenda);
    QCOMPARE(initial.value("CoordIniX").toInt(), 250);  // constructor value, declared 0
    QCOMPARE(initial.value("CoordIniY").toInt(), 5);
    QCOMPARE(initial.value("NomeDaFonte").toString(), QStringLiteral("Times New Roman"));
    for (const char *omitted : {"Visivel", "MostrarCoord", "OffsetBorda", "LargDaPaginaNaTela",
                                "CorDaBorda", "CorDeFundo", "CorDaFonte", "TamDaFonte"})
        QVERIFY2(!initial.contains(omitted), omitted);

    f.legenda.AjustarFbVisivel(false);
    f.legenda.AjustarFbMostrarCoord(false);
    f.legenda.AjustarFiCoordIniX(0);
    f.legenda.AjustarFiCoordIniY(40);
    f.legenda.AjustarFiOffsetBorda(2);
    f.legenda.AjustarFiLargDaPaginaNaTela(600);
    f.legenda.AjustarFiLargDaPaginaNaTela(0);  // ignored
    QCOMPARE(f.legenda.LargDaPaginaNaTela(), 600);
    f.legenda.AjustarFcCorDaBorda(clRed);
    f.legenda.AjustarFcCorDeFundo(clWhite);
    f.legenda.AjustarFcCorDaFonte(clNone);
    f.legenda.AjustarFiTamDaFonte(11);
    f.legenda.AjustarFsNomeDaFonte("Arial");
    const QJsonObject json = TPropertyStream::Write(&f.legenda);
    QVERIFY(!json.contains("CoordIniX"));

    TRecordingCanvas canvas;
    TLegendaSomatocarta copy(&canvas, nullptr);
    TPropertyStream::Read(&copy, json);
    QCOMPARE(copy.Visivel(), false);
    QCOMPARE(copy.MostrarCoord(), false);
    QCOMPARE(copy.CoordIniX(), 0);
    QCOMPARE(copy.CoordIniY(), 40);
    QCOMPARE(copy.OffsetBorda(), 2);
    QCOMPARE(copy.LargDaPaginaNaTela(), 600);
    QCOMPARE(copy.CorDaBorda(), clRed);
    QCOMPARE(copy.CorDeFundo(), clWhite);
    QCOMPARE(copy.CorDaFonte(), clNone);
    QCOMPARE(copy.TamDaFonte(), 11);
    QCOMPARE(copy.NomeDaFonte(), QStringLiteral("Arial"));
}

QTEST_MAIN(TstLegendaSomatocarta)
#include "tst_legendasomatocarta.moc"

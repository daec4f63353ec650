#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegion>
#include <QResizeEvent>
#include <QTest>
#include <cmath>
#include <functional>
#include <limits>

#include "platform/printer.h"
#include "platform/propertystream.h"
#include "platform/recordingcanvas.h"
#include "somatochart/somatocarta.h"
#include "tests/support/sanitizer.h"

using TCall = TRecordingCanvas::TCall;

namespace {

// A chart drawing on a recording canvas at 96 dpi (fixed text metrics).
struct TCartaGravada {
    TRecordingCanvas canvas;
    TSomatocarta carta;

    TCartaGravada()
    {
        canvas.SetPixelsPerInch(96, 96);
        carta.SetCanvas(&canvas);
    }
    QList<TCall> Chamadas(const QString &op) const { return canvas.CallsNamed(op); }
    bool TemTexto(const QString &text) const
    {
        for (const TCall &c : canvas.Calls())
            if (c.Text == text)
                return true;
        return false;
    }
    QList<int> ArgsDoArco(int i) const { return Chamadas(QStringLiteral("Arc")).at(i).Args; }
};

QRegion RegiaoGravada(const TCall &call)
{
    QRegion region;
    for (int i = 0; i + 3 < call.Args.size(); i += 4)
        region +=
            TRect{call.Args[i], call.Args[i + 1], call.Args[i + 2], call.Args[i + 3]}.ToQRect();
    return region;
}

}  // namespace

class TstSomatocarta : public QObject {
    Q_OBJECT

private slots:
    void defaultsAt96Dpi();
    void arcsAndFiguresAtDefaults();
    void mostrarEixosOffMovesTriangleKeepingSize();
    void labelsInsteadOfFigures();
    void axisTicksAndLabels_data();
    void axisTicksAndLabels();
    void axisTitles();
    void drawingOrder();
    void pointPositions_data();
    void pointPositions();
    void pointShapes_data();
    void pointShapes();
    void coordinateTextUsesLocaleSeparator();
    void pointsNotFiniteOrHugeAreSkipped_data();
    void pointsNotFiniteOrHugeAreSkipped();
    void addDrawsOnlyPointAndLegend();
    void drawingFailureStaysInTheHandler();
    void editAndDeleteRedrawAll();
    void offsetMultiplier_data();
    void offsetMultiplier();
    void sizeSetters();
    void largDaPaginaNaTelaBelowOneIgnored();
    void backgroundCutAroundLegend();
    void colourSettersDrawTheirPart();
    void backingImageShowsChart();
    void imageRepaintMatchesCanvasPixels();
    void imageRepaintFollowsChanges();
    void streamingRoundTrip();
    void streamingDefaultsKeepSizes();
    void streamingDrawsOnceWithTheSamePixels_data();
    void streamingDrawsOnceWithTheSamePixels();
};

void TstSomatocarta::defaultsAt96Dpi()
{
    TSomatocarta carta;
    QCOMPARE(carta.U(), 13);
    QCOMPARE(carta.M(), 32);
    QCOMPARE(carta.A(), 19);
    QCOMPARE(carta.B(), 217);
    QVERIFY(std::abs(carta.H() - 187.93) < 0.005);
    QCOMPARE(carta.P1(), QPoint(159, 32));
    QCOMPARE(carta.P2(), QPoint(51, 219));
    QCOMPARE(carta.P3(), QPoint(267, 219));
    QCOMPARE(carta.size(), QSize(375, 305));
    QCOMPARE(carta.OffsetCartaMultiplicador(), 2.5);
    QCOMPARE(carta.TamanhoDaCarta(), 300);
    QCOMPARE(carta.LargDaPaginaNaTela(), 504);
    QCOMPARE(quint32(carta.CorDaFonte()), 0xFF0000u);
    QCOMPARE(quint32(carta.CorDaCarta()), 0x0000FFu);
    QCOMPARE(quint32(carta.CorDeFundo()), 0xFFFFFFu);
    QCOMPARE(carta.OffsetX(), 0);
    QCOMPARE(carta.Escala(), 1.0f);
    if (carta.logicalDpiX() == 96)
        QCOMPARE(carta.TamanhoDaCartaMM(), 79);
    // The declared defaults are the table's.
    const QJsonObject json = TPropertyStream::Write(&carta);
    QCOMPARE(json.value("OffsetCartaMultiplicador").toDouble(), 2.5);
    QVERIFY(!json.contains("TamanhoDaCarta"));
    QVERIFY(!json.contains("CorDaFonte"));
    QVERIFY(!json.contains("MostrarEixos"));
    QVERIFY(!json.contains("Pontos"));
}

void TstSomatocarta::arcsAndFiguresAtDefaults()
{
    TCartaGravada g;
    g.carta.PlotarSomatocarta();
    QCOMPARE(g.Chamadas("Arc").size(), 3);
    // Lower arc about P1 (159, 32), radius 217, from (50.5, 219.9) to (267.5, 219.9).
    QCOMPARE(g.ArgsDoArco(0), QList<int>({-58, -185, 376, 249, 50, 219, 267, 219}));
    // Right arc about P2 (51, 219) from (268, 219) to (159.5, 31.07).
    QCOMPARE(g.ArgsDoArco(1), QList<int>({-166, 2, 268, 436, 268, 219, 159, 31}));
    // Left arc about P3 (267, 219) from (158.5, 31.07) to (50, 219).
    QCOMPARE(g.ArgsDoArco(2), QList<int>({50, 2, 484, 436, 158, 31, 50, 219}));
    const TCall arc = g.Chamadas("Arc").first();
    QCOMPARE(quint32(arc.Pen.Color), quint32(clRed));
    QCOMPARE(arc.Pen.Width, 1);
    QCOMPARE(arc.Font.Name, QStringLiteral("Times New Roman"));
    QCOMPARE(arc.Font.Height(), 13);

    const QList<TCall> figuras = g.Chamadas("StretchDraw");
    QCOMPARE(figuras.size(), 3);
    QCOMPARE(figuras[0].Args, QList<int>({22, 219, 47, 245}));
    QCOMPARE(figuras[1].Args, QList<int>({146, 3, 171, 28}));
    QCOMPARE(figuras[2].Args, QList<int>({271, 219, 296, 245}));
    QVERIFY(!g.TemTexto("ENDO"));

    // Internal lines: dotted, one pixel.
    const QList<TCall> linhas = g.Chamadas("LineTo");
    bool vertical = false;
    for (const TCall &l : linhas)
        if (l.Pen.Style == TCanvas::psDot && l.Args == QList<int>({159, 249}))
            vertical = l.PenPos == QPoint(159, 32);
    QVERIFY(vertical);

    // The frame is last, around the client rectangle.
    const TCall last = g.canvas.Calls().last();
    QCOMPARE(last.Op, QStringLiteral("FrameRect"));
    QCOMPARE(last.Args, QList<int>({0, 0, 375, 305}));
}

void TstSomatocarta::mostrarEixosOffMovesTriangleKeepingSize()
{
    TCartaGravada g;
    g.carta.PlotarSomatocarta();
    const QList<int> antes = g.ArgsDoArco(0);
    QVERIFY(g.TemTexto("X"));
    g.canvas.ClearCalls();
    g.carta.AjustarFbMostrarEixos(false);
    QCOMPARE(g.carta.A(), 0);
    QCOMPARE(g.carta.B(), 217);
    QCOMPARE(g.carta.P1(), QPoint(140, 32));
    QList<int> esperado = antes;
    for (int i = 0; i < esperado.size(); i += 2)
        esperado[i] -= 19;
    QCOMPARE(g.ArgsDoArco(0), esperado);
    QVERIFY(!g.TemTexto("X"));
    QVERIFY(!g.TemTexto("-6"));
    // The next size computation takes the axis band back into the side.
    g.carta.AjustarTamanhoDaCarta(300);
    QCOMPARE(g.carta.B(), 236);
}

void TstSomatocarta::labelsInsteadOfFigures()
{
    TCartaGravada g;
    g.carta.AjustarFbMostrarFiguras(false);
    QVERIFY(g.Chamadas("StretchDraw").isEmpty());
    QStringList textos;
    for (const TCall &c : g.Chamadas("TextOut"))
        if (c.Text.size() == 4)
            textos << QStringLiteral("%1@%2,%3/%4")
                          .arg(c.Text)
                          .arg(c.Args[0])
                          .arg(c.Args[1])
                          .arg(c.TextAlign);
    QCOMPARE(textos, QStringList({"ENDO@51,219/2", "MESO@159,32/14", "ECTO@268,219/0"}));
    // A changed figure is drawn whatever MostrarFiguras says.
    g.canvas.ClearCalls();
    g.carta.Figuras()->AjustarFiguraMeso(QImage(10, 10, QImage::Format_RGB32));
    QCOMPARE(g.Chamadas("StretchDraw").size(), 1);
    QCOMPARE(g.Chamadas("StretchDraw").first().ImageSize, QSize(10, 10));
}

void TstSomatocarta::axisTicksAndLabels_data()
{
    // Defaults: u = 13, m = 32, a = 19, b = 217, h = 187.94, axis level yb = 281. X ticks at
    // trunc(51 + 217 n / 12); Y ticks at trunc(trunc(32 + h) - i h / 18) = trunc(219 - i h / 18)
    // (trunc(32 + h - i h / 18) would give 199 for i = 2).
    QTest::addColumn<QString>("rotulo");
    QTest::addColumn<QList<int>>("traco");  // tick: from x, y to x, y
    QTest::addColumn<QList<int>>("texto");  // clip rectangle, then the text's x, y
    QTest::addColumn<uint>("alinhamento");
    const uint centro = TCanvas::taCenter | TCanvas::taTop;
    const uint direita = TCanvas::taRight | TCanvas::taTop;
    QTest::newRow("x -6") << "-6" << QList<int>{51, 283, 51, 281}
                          << QList<int>{45, 283, 57, 296, 51, 283} << centro;
    QTest::newRow("x -5") << "-5" << QList<int>{69, 283, 69, 281}
                          << QList<int>{63, 283, 75, 296, 69, 283} << centro;
    QTest::newRow("x 0") << "0" << QList<int>{159, 283, 159, 281}
                         << QList<int>{153, 283, 165, 296, 159, 283} << centro;
    QTest::newRow("x 6") << "6" << QList<int>{268, 283, 268, 281}
                         << QList<int>{262, 283, 274, 296, 268, 283} << centro;
    QTest::newRow("y -6") << "-6" << QList<int>{17, 219, 19, 219}
                          << QList<int>{4, 213, 17, 225, 17, 213} << direita;
    QTest::newRow("y -4") << "-4" << QList<int>{17, 198, 19, 198}
                          << QList<int>{4, 192, 17, 204, 17, 192} << direita;
    QTest::newRow("y 4") << "4" << QList<int>{17, 114, 19, 114}
                         << QList<int>{4, 108, 17, 120, 17, 108} << direita;
    QTest::newRow("y 12") << "12" << QList<int>{17, 31, 19, 31} << QList<int>{4, 25, 17, 37, 17, 25}
                          << direita;
}

void TstSomatocarta::axisTicksAndLabels()
{
    QFETCH(QString, rotulo);
    QFETCH(QList<int>, traco);
    QFETCH(QList<int>, texto);
    QFETCH(uint, alinhamento);
    TCartaGravada g;
    g.carta.PlotarEixos();
    const bool eixoX = QByteArray(QTest::currentDataTag()).startsWith('x');
    // The label of this tick: X labels lie below the axis, Y labels left of it.
    const TCall *achado = nullptr;
    for (const TCall &c : g.canvas.Calls())
        if (c.Op == QStringLiteral("TextRect") && c.Text == rotulo && (c.Args[1] == 283) == eixoX)
            achado = &c;
    QVERIFY(achado);
    QCOMPARE(achado->Args, texto);
    QCOMPARE(achado->TextAlign, alinhamento);
    QCOMPARE(quint32(achado->Brush.Color), quint32(clWhite));
    QCOMPARE(achado->Brush.Style, TCanvas::bsSolid);
    QCOMPARE(achado->Font.Height(), 13);
    bool tracoAchado = false;
    for (const TCall &c : g.Chamadas("LineTo"))
        tracoAchado |=
            c.PenPos == QPoint(traco[0], traco[1]) && c.Args == QList<int>({traco[2], traco[3]});
    QVERIFY(tracoAchado);
}

void TstSomatocarta::axisTitles()
{
    TCartaGravada g;
    g.carta.PlotarEixos();
    const QList<TCall> textos = g.Chamadas("TextOut");
    QCOMPARE(textos.size(), 2);
    QCOMPARE(textos[0].Text, QStringLiteral("X"));
    QCOMPARE(textos[0].Args, QList<int>({300, 280}));
    QCOMPARE(textos[0].TextAlign, uint(TCanvas::taRight | TCanvas::taBottom));
    QCOMPARE(textos[1].Text, QStringLiteral("Y"));
    QCOMPARE(textos[1].Args, QList<int>({20, 1}));
    QCOMPARE(textos[1].TextAlign, uint(TCanvas::taLeft | TCanvas::taTop));
    // The two axis lines come first: X from the band to W = 300, Y from the axis level up to 1.
    const QList<TCall> linhas = g.Chamadas("LineTo");
    QCOMPARE(linhas[0].PenPos, QPoint(19, 281));
    QCOMPARE(linhas[0].Args, QList<int>({300, 281}));
    bool eixoY = false;
    for (const TCall &c : linhas)
        eixoY |= c.PenPos == QPoint(19, 281) && c.Args == QList<int>({19, 1});
    QVERIFY(eixoY);
}

void TstSomatocarta::drawingOrder()
{
    // Background, axes, arcs, internal lines, figures, points, frame.
    TCartaGravada g;
    g.carta.Pontos()->AcrescentarPonto(0, 0, clLime, 0, 4, QStringLiteral("p"));
    g.canvas.ClearCalls();
    g.carta.PlotarSomatocarta();
    const QList<TCall> &chamadas = g.canvas.Calls();
    const auto primeira = [&](const std::function<bool(const TCall &)> &teste) {
        for (int i = 0; i < chamadas.size(); ++i)
            if (teste(chamadas[i]))
                return i;
        return -1;
    };
    const QList<int> passos = {
        primeira([](const TCall &c) { return c.Op == QStringLiteral("FillRegion"); }),
        primeira([](const TCall &c) { return c.Op == QStringLiteral("LineTo"); }),
        primeira([](const TCall &c) { return c.Op == QStringLiteral("Arc"); }),
        primeira([](const TCall &c) {
            return c.Op == QStringLiteral("LineTo") && c.Pen.Style == TCanvas::psDot;
        }),
        primeira([](const TCall &c) { return c.Op == QStringLiteral("StretchDraw"); }),
        primeira([](const TCall &c) { return c.Op == QStringLiteral("Ellipse"); }),
        primeira([](const TCall &c) { return c.Op == QStringLiteral("FrameRect"); })};
    QVERIFY2(!passos.contains(-1), qPrintable(QString::number(passos.indexOf(-1))));
    for (int i = 1; i < passos.size(); ++i)
        QVERIFY2(passos[i - 1] < passos[i], qPrintable(QString::number(i)));
    for (int i = 0; i < passos.first(); ++i)  // only the clip is reset before the background
        QVERIFY2(chamadas[i].Op.contains(QStringLiteral("Clip")),
                 qPrintable(chamadas[i].ToString()));
    QCOMPARE(passos.last(), chamadas.size() - 1);
    // The first line drawn is the X axis, in the axes' colour.
    QCOMPARE(quint32(chamadas[passos[1]].Pen.Color), quint32(g.carta.CorDosEixos()));
    QCOMPARE(quint32(chamadas[passos[5]].Pen.Color), quint32(clLime));
}

void TstSomatocarta::pointPositions_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("largura");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("desenhado");
    // b = 217 is odd: X = 6 lands one pixel right of P3 (267, 219).
    QTest::newRow("P3") << 6.0 << -6.0 << 375 << QPoint(268, 219) << true;
    QTest::newRow("P1 level") << 0.0 << 12.0 << 375 << QPoint(159, 32) << true;
    QTest::newRow("P2") << -6.0 << -6.0 << 375 << QPoint(51, 219) << true;
    QTest::newRow("on right edge") << 6.0 << -6.0 << 268 << QPoint(268, 219) << true;
    QTest::newRow("past right edge") << 6.0 << -6.0 << 267 << QPoint(268, 219) << false;
    QTest::newRow("above top") << 0.0 << 24.0 << 375 << QPoint(159, -93) << false;
    QTest::newRow("below bottom") << 0.0 << -40.0 << 375 << QPoint(159, 574) << false;
    QTest::newRow("left of client") << -12.0 << 0.0 << 375 << QPoint(-57, 157) << false;
}

void TstSomatocarta::pointPositions()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, largura);
    QFETCH(QPoint, pixel);
    QFETCH(bool, desenhado);
    TCartaGravada g;
    g.carta.resize(largura, 305);
    QCOMPARE(g.carta.PosicaoDoPonto(x, y), pixel);
    TPonto p;
    p.X = x;
    p.Y = y;
    p.Tamanho = 4;
    p.Cor = clGreen;
    g.canvas.ClearCalls();
    g.carta.PlotarPonto(p);
    QCOMPARE(g.canvas.Calls().isEmpty(), !desenhado);
    if (desenhado) {
        const TCall e = g.Chamadas("Ellipse").first();
        QCOMPARE(e.Args, QList<int>({pixel.x() - 4, pixel.y() - 4, pixel.x() + 4, pixel.y() + 4}));
        QCOMPARE(quint32(e.Brush.Color), quint32(clGreen));
        QCOMPARE(g.Chamadas("TextOut").size(), 1);
    }
}

void TstSomatocarta::pointShapes_data()
{
    QTest::addColumn<int>("forma");
    QTest::addColumn<bool>("mostrarCoord");
    QTest::addColumn<QStringList>("chamadas");
    // Point (0, 0) is at (159, 157) with Tamanho 5.
    QTest::newRow("circle") << 0 << true
                            << QStringList(
                                   {"Ellipse(154, 152, 164, 162)", "TextOut(159, 162) \"(0; 0)\""});
    QTest::newRow("cross") << 1 << true
                           << QStringList({"MoveTo(159, 152)", "LineTo(159, 163)",
                                           "MoveTo(154, 157)", "LineTo(165, 157)",
                                           "TextOut(159, 162) \"(0; 0)\""});
    QTest::newRow("shape 2: text only")
        << 2 << true << QStringList({"TextOut(159, 162) \"(0; 0)\""});
    QTest::newRow("shape -1: text only")
        << -1 << true << QStringList({"TextOut(159, 162) \"(0; 0)\""});
    QTest::newRow("circle without text")
        << 0 << false << QStringList({"Ellipse(154, 152, 164, 162)"});
    QTest::newRow("shape 2 without text") << 2 << false << QStringList();
}

void TstSomatocarta::pointShapes()
{
    QFETCH(int, forma);
    QFETCH(bool, mostrarCoord);
    TCartaGravada g;
    g.carta.AjustarFbMostrarCoord(mostrarCoord);
    TPonto p;
    p.Forma = forma;
    p.Tamanho = 5;
    p.Cor = clPurple;
    g.canvas.ClearCalls();
    g.carta.PlotarPonto(p);
    QStringList feitas;
    for (const TCall &c : g.canvas.Calls())
        feitas << c.ToString();
    QTEST(feitas, "chamadas");
    for (const TCall &c : g.canvas.Calls()) {
        QCOMPARE(quint32(c.Pen.Color), quint32(clPurple));
        if (c.Op == "TextOut") {
            QCOMPARE(c.TextAlign, unsigned(TCanvas::taCenter | TCanvas::taTop));
            QCOMPARE(c.Brush.Style, TCanvas::bsClear);
        }
    }
}

void TstSomatocarta::coordinateTextUsesLocaleSeparator()
{
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TCartaGravada g;
    TPonto p;
    p.X = 1.5;
    p.Y = -2.25;
    g.carta.PlotarPonto(p);
    const bool virgula = g.TemTexto("(1,5; -2,25)");
    p.X = 0.1 + 0.2;
    p.Y = -1e-7;
    g.carta.PlotarPonto(p);
    const bool curto = g.TemTexto("(0,3; -1e-07)");
    QLocale::setDefault(antes);
    QVERIFY(virgula);
    QVERIFY(curto);
}

void TstSomatocarta::pointsNotFiniteOrHugeAreSkipped_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("NaN X") << std::nan("") << 0.0;
    QTest::newRow("NaN Y") << 0.0 << std::nan("");
    QTest::newRow("+inf X") << inf << 0.0;
    QTest::newRow("-inf Y") << 0.0 << -inf;
    QTest::newRow("huge X") << 1e300 << 0.0;
    QTest::newRow("huge negative Y") << 0.0 << -1e300;
    QTest::newRow("max double") << std::numeric_limits<double>::max() << 0.0;
}

void TstSomatocarta::pointsNotFiniteOrHugeAreSkipped()
{
    QFETCH(double, x);
    QFETCH(double, y);
    TCartaGravada g;
    g.carta.Pontos()->AcrescentarPonto(x, y, clRed, 0, 1000000000, QStringLiteral("fora"));
    g.carta.Pontos()->AcrescentarPonto(1, 1, clBlue, 0, 3, QStringLiteral("dentro"));
    g.canvas.ClearCalls();
    g.carta.PlotarSomatocarta();
    int vermelhas = 0;
    for (const TCall &c : g.Chamadas("Ellipse"))
        vermelhas += quint32(c.Pen.Color) == quint32(clRed);
    QCOMPARE(vermelhas, 0);
    QCOMPARE(g.Chamadas("Ellipse").size(), 1);
    // The backing image draws the same without trouble.
    g.carta.SetCanvas(nullptr);
    g.carta.Paint();
    QCOMPARE(g.carta.Image().pixelColor(g.carta.PosicaoDoPonto(1, 1)), QColor(Qt::blue));
}

void TstSomatocarta::addDrawsOnlyPointAndLegend()
{
    TCartaGravada g;
    g.carta.Paint();
    g.canvas.ClearCalls();
    g.carta.Pontos()->AcrescentarPonto(0, 0, clGreen, 0, 4, QStringLiteral("Ana"));
    QVERIFY(g.Chamadas("Arc").isEmpty());
    QVERIFY(g.Chamadas("StretchDraw").isEmpty());
    QVERIFY(g.TemTexto("(0; 0)"));
    QVERIFY(g.TemTexto("(0; 0) - Ana"));
    const QList<TCall> elipses = g.Chamadas("Ellipse");
    QCOMPARE(elipses.size(), 2);  // the point and its legend row
    QCOMPARE(elipses.first().Args, QList<int>({155, 153, 163, 161}));
    // The legend's frame is the only other frame.
    for (const TCall &c : g.Chamadas("FrameRect"))
        QVERIFY(c.Args != QList<int>({0, 0, 375, 305}));

    // The next point's text is in the chart's font, not in the legend's drawn just before.
    g.canvas.ClearCalls();
    g.carta.Pontos()->AcrescentarPonto(1, 2, clBlue, 1, 4, QStringLiteral("Bia"));
    bool achado = false;
    for (const TCall &c : g.Chamadas("TextOut")) {
        if (c.Text != QStringLiteral("(1; 2)"))
            continue;
        achado = true;
        QCOMPARE(c.Font.Name, QStringLiteral("Times New Roman"));
        QCOMPARE(c.Font.Height(), 13);
        QCOMPARE(quint32(c.Font.Color), quint32(g.carta.CorDaFonte()));
    }
    QVERIFY(achado);
}

// A chart too large for its backing image cannot draw: the handler logs it and returns.
void TstSomatocarta::drawingFailureStaysInTheHandler()
{
#if KESTROVA_ADDRESS_SANITIZER
    QSKIP("the sanitizer aborts on the petabyte image instead of failing the allocation");
#endif
    TSomatocarta carta;
    carta.resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QTest::ignoreMessage(QtWarningMsg, "TSomatocarta::resizeEvent: Canvas does not allow drawing");
    QResizeEvent event(carta.size(), QSize(375, 305));
    QCoreApplication::sendEvent(&carta, &event);
}

void TstSomatocarta::editAndDeleteRedrawAll()
{
    TCartaGravada g;
    g.carta.Pontos()->AcrescentarPonto(0, 0, clGreen, 0, 4, QStringLiteral("Ana"));
    g.carta.Pontos()->AcrescentarPonto(2, 3, clBlue, 1, 4, QStringLiteral("Bia"));
    g.canvas.ClearCalls();
    g.carta.Pontos()->EditarPonto(0, -1, 1);
    QCOMPARE(g.Chamadas("Arc").size(), 3);
    QVERIFY(g.TemTexto("(-1; 1)"));
    QVERIFY(g.TemTexto("(2; 3)"));
    QVERIFY(!g.TemTexto("(0; 0)"));
    QVERIFY(g.TemTexto("(-1; 1) - Ana"));

    g.canvas.ClearCalls();
    g.carta.Pontos()->ExcluirPonto(0);
    // Redrawn, then again because the legend lost a row and asked for its background.
    QCOMPARE(g.Chamadas("Arc").size(), 6);
    QVERIFY(!g.TemTexto("(-1; 1)"));
    QVERIFY(g.TemTexto("(2; 3) - Bia"));

    // Out-of-range edits and deletes draw nothing.
    g.canvas.ClearCalls();
    g.carta.Pontos()->EditarPonto(5, 0, 0);
    g.carta.Pontos()->ExcluirPonto(-1);
    QVERIFY(g.canvas.Calls().isEmpty());
}

void TstSomatocarta::offsetMultiplier_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<double>("esperado");
    QTest::addColumn<int>("m");
    QTest::newRow("5 accepted") << 5.0 << 5.0 << 65;
    QTest::newRow("0 accepted") << 0.0 << 0.0 << 0;
    QTest::newRow("5.01 ignored") << 5.01 << 2.5 << 32;
    QTest::newRow("-0.1 ignored") << -0.1 << 2.5 << 32;
    QTest::newRow("NaN ignored") << std::nan("") << 2.5 << 32;
    QTest::newRow("inf ignored") << std::numeric_limits<double>::infinity() << 2.5 << 32;
}

void TstSomatocarta::offsetMultiplier()
{
    QFETCH(double, valor);
    QFETCH(int, m);
    TCartaGravada g;
    g.carta.AjustarFdOffsetCartaMultiplicador(valor);
    QTEST(g.carta.OffsetCartaMultiplicador(), "esperado");
    QCOMPARE(g.carta.M(), m);
    QCOMPARE(g.carta.B(), 300 - 2 * m - 19);
    // An accepted value redraws at once.
    QCOMPARE(g.Chamadas("Arc").size(), m == 32 ? 0 : 3);
}

void TstSomatocarta::sizeSetters()
{
    TCartaGravada g;
    const int larguraMM = TSomatocarta::LarguraDaPaginaMM();
    if (TPrinter::Printers().isEmpty())
        QCOMPARE(larguraMM, 210);
    QVERIFY(larguraMM > 0);
    g.carta.AjustarTamanhoDaCarta(504);
    QCOMPARE(g.carta.TamanhoDaCarta(), 504);
    QCOMPARE(g.carta.TamanhoDaCartaMM(), larguraMM);
    QCOMPARE(g.carta.U(), 22);
    QCOMPARE(g.Chamadas("Arc").size(), 3);

    g.carta.AjustarTamanhoDaCartaMM(larguraMM / 2);
    QCOMPARE(g.carta.TamanhoDaCartaMM(), larguraMM / 2);
    QVERIFY(std::abs(g.carta.TamanhoDaCarta() - 252) <= 2);

    // Sizes below one pixel or millimetre, or past the limit, are refused.
    const int t = g.carta.TamanhoDaCarta(), mm = g.carta.TamanhoDaCartaMM();
    for (int bad : {0, -5, std::numeric_limits<int>::min()}) {
        g.carta.AjustarTamanhoDaCarta(bad);
        g.carta.AjustarTamanhoDaCartaMM(bad);
    }
    g.carta.AjustarTamanhoDaCarta(std::numeric_limits<int>::max());
    g.carta.AjustarTamanhoDaCartaMM(std::numeric_limits<int>::max());
    QCOMPARE(g.carta.TamanhoDaCarta(), t);
    QCOMPARE(g.carta.TamanhoDaCartaMM(), mm);
    QVERIFY(g.carta.B() > 0);
}

void TstSomatocarta::largDaPaginaNaTelaBelowOneIgnored()
{
    TCartaGravada g;
    g.carta.AjustarFiLargDaPaginaNaTela(0);
    QCOMPARE(g.carta.LargDaPaginaNaTela(), 504);
    g.carta.AjustarFiLargDaPaginaNaTela(-3);
    QCOMPARE(g.carta.LargDaPaginaNaTela(), 504);
    // Stored only: nothing is drawn.
    QVERIFY(g.canvas.Calls().isEmpty());
    // The millimetre conversions still divide by a sound width.
    g.carta.AjustarTamanhoDaCarta(300);
    QVERIFY(g.carta.TamanhoDaCartaMM() > 0);
    g.carta.AjustarFiLargDaPaginaNaTela(1);
    QCOMPARE(g.carta.LargDaPaginaNaTela(), 1);
    g.carta.AjustarTamanhoDaCarta(300);
    QVERIFY(g.carta.TamanhoDaCartaMM() > 1000);
}

void TstSomatocarta::backgroundCutAroundLegend()
{
    TCartaGravada g;
    TLegendaSomatocarta *legenda = g.carta.Legenda();
    g.carta.Pontos()->AcrescentarPonto(1, 2, clRed, 0, 3, QStringLiteral("Um"));
    QVERIFY(legenda->Largura() > 0);
    g.canvas.ClearCalls();
    g.carta.PlotarSomatocarta();
    const QList<TCall> regioes = g.Chamadas("FillRegion");
    QCOMPARE(regioes.size(), 1);
    const QRegion fundo = RegiaoGravada(regioes.first());
    const QRect caixa =
        TRect{legenda->CoordIniX(), legenda->CoordIniY(), legenda->CoordIniX() + legenda->Largura(),
              legenda->CoordIniY() + legenda->Altura()}
            .ToQRect();
    QCOMPARE(fundo, QRegion(0, 0, 375, 305).subtracted(caixa));
    QCOMPARE(quint32(regioes.first().Brush.Color), quint32(clWhite));

    // Without points the cut is empty: the whole client is filled.
    g.carta.Pontos()->ExcluirPonto(0);
    g.canvas.ClearCalls();
    g.carta.PlotarSomatocarta();
    QCOMPARE(RegiaoGravada(g.Chamadas("FillRegion").first()), QRegion(0, 0, 375, 305));

    // A hidden legend: a plain fill.
    legenda->AjustarFbVisivel(false);
    g.canvas.ClearCalls();
    g.carta.PlotarSomatocarta();
    QVERIFY(g.Chamadas("FillRegion").isEmpty());
    QCOMPARE(g.Chamadas("FillRect").first().Args, QList<int>({0, 0, 375, 305}));
}

void TstSomatocarta::colourSettersDrawTheirPart()
{
    TCartaGravada g;
    g.carta.AjustarFcCorDaBorda(clGreen);
    QCOMPARE(g.canvas.Calls().size(), 1);
    QCOMPARE(g.canvas.Calls().first().ToString(), QStringLiteral("FrameRect(0, 0, 375, 305)"));
    QCOMPARE(quint32(g.canvas.Calls().first().Brush.Color), quint32(clGreen));

    g.canvas.ClearCalls();
    g.carta.AjustarFcCorDosEixos(clNavy);
    QVERIFY(g.Chamadas("Arc").isEmpty());
    QCOMPARE(g.Chamadas("TextRect").size(), 13 + 10);
    for (const TCall &c : g.Chamadas("LineTo"))
        QCOMPARE(quint32(c.Pen.Color), quint32(clNavy));

    g.canvas.ClearCalls();
    g.carta.AjustarFcCorDaCarta(clTeal);
    QCOMPARE(quint32(g.Chamadas("Arc").first().Pen.Color), quint32(clTeal));
    g.canvas.ClearCalls();
    g.carta.AjustarFbMostrarLinhasInternas(false);
    for (const TCall &c : g.Chamadas("LineTo"))
        QVERIFY(c.Pen.Style != TCanvas::psDot);
}

void TstSomatocarta::backingImageShowsChart()
{
    TSomatocarta carta;
    carta.Legenda()->AjustarFbVisivel(false);
    carta.Pontos()->AcrescentarPonto(0, 0, clGreen, 0, 6, QString());
    const QImage shot = carta.grab().toImage();
    QCOMPARE(shot.size(), QSize(375, 305));
    QCOMPARE(shot.pixelColor(0, 0), QColor(Qt::red));        // frame
    QCOMPARE(shot.pixelColor(159, 157), QColor(0, 128, 0));  // the point
    QCOMPARE(shot.pixelColor(200, 280), QColor(Qt::white));  // background
    // Added after the first paint: drawn at once on the image.
    carta.Pontos()->AcrescentarPonto(-3, 6, clBlue, 0, 6, QString());
    QCOMPARE(carta.Image().pixelColor(carta.PosicaoDoPonto(-3, 6)), QColor(Qt::blue));
    // A new size gives a new picture of that size.
    carta.resize(200, 150);
    const QImage menor = carta.grab().toImage();
    QCOMPARE(menor.size(), QSize(200, 150));
    QCOMPARE(menor.pixelColor(199, 149), QColor(Qt::red));
}

void TstSomatocarta::imageRepaintMatchesCanvasPixels()
{
    // The repaint on the chart's own image stamps markers and texts; drawing every point through
    // a canvas must give the same pixels.
    TSomatocarta rapida, lenta;
    QImage imagem(rapida.size(), QImage::Format_RGB32);
    TCanvas canvas(&imagem);
    canvas.SetPixelsPerInch(rapida.logicalDpiX(), rapida.logicalDpiY());
    lenta.SetCanvas(&canvas);
    int n = 0;
    for (double x = -7; x <= 7; x += 1.3)
        for (double y = -7; y <= 13; y += 2.9) {
            const int forma = n % 4 == 3 ? 2 : n % 2, tamanho = n % 9 + (n % 13 == 0 ? 90 : 0);
            const TColor cor = TColor::FromRgb(n * 37, n * 91, n * 53);
            for (TSomatocarta *c : {&rapida, &lenta})
                c->Pontos()->AcrescentarPonto(x, y, cor, forma, tamanho, QString::number(n));
            ++n;
        }
    for (TSomatocarta *c : {&rapida, &lenta}) {
        c->Legenda()->AjustarFbVisivel(false);
        c->PlotarSomatocarta();
    }
    QCOMPARE(rapida.Image().size(), imagem.size());
    int diferentes = 0;
    for (int y = 0; y < imagem.height(); ++y)
        for (int x = 0; x < imagem.width(); ++x)
            diferentes += rapida.Image().pixel(x, y) != imagem.pixel(x, y);
    QCOMPARE(diferentes, 0);
    // The fast repaint did run, and the picture holds the points.
    QVERIFY(rapida.TextosGuardados() > 0);
    QCOMPARE(lenta.TextosGuardados(), 0);
    TSomatocarta vazia;
    vazia.Legenda()->AjustarFbVisivel(false);
    vazia.PlotarSomatocarta();
    int dosPontos = 0;
    for (int y = 0; y < imagem.height(); ++y)
        for (int x = 0; x < imagem.width(); ++x)
            dosPontos += vazia.Image().pixel(x, y) != imagem.pixel(x, y);
    QVERIFY(dosPontos > 1000);
}

namespace {

int PixelsDiferentes(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int diferentes = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            diferentes += a.pixel(x, y) != b.pixel(x, y);
    return diferentes;
}

}  // namespace

void TstSomatocarta::imageRepaintFollowsChanges()
{
    // The kept markers and texts must follow every change of font, colour, point field, size and
    // locale: after each change the chart's own image equals a chart drawn through a plain canvas.
    const QLocale localeAntigo;
    TSomatocarta rapida, lenta;
    QImage imagem(rapida.size(), QImage::Format_RGB32);
    TCanvas canvas(&imagem);
    canvas.SetPixelsPerInch(rapida.logicalDpiX(), rapida.logicalDpiY());
    lenta.SetCanvas(&canvas);
    for (int n = 0; n < 12; ++n)
        for (TSomatocarta *c : {&rapida, &lenta})
            c->Pontos()->AcrescentarPonto(n - 5.5, 2 * n - 5.25, TColor::FromRgb(n * 20, 0, 200),
                                          n % 2, 2 + n % 5, QStringLiteral("p%1").arg(n));
    const auto conferir = [&](const char *passo) {
        for (TSomatocarta *c : {&rapida, &lenta})
            c->Paint();
        QVERIFY2(rapida.TextosGuardados() > 0, passo);
        QVERIFY2(PixelsDiferentes(rapida.Image(), imagem) == 0, passo);
    };
    conferir("initial");
    if (QTest::currentTestFailed())
        return;
    const QImage antes = imagem;

    for (TSomatocarta *c : {&rapida, &lenta})
        c->AjustarFcCorDaFonte(clGreen);
    conferir("font colour");
    QVERIFY(PixelsDiferentes(antes, imagem) > 0);

    for (TSomatocarta *c : {&rapida, &lenta})
        c->AjustarTamanhoDaCarta(360);
    conferir("chart size (font height)");

    for (TSomatocarta *c : {&rapida, &lenta}) {
        TPonto &p = c->Pontos()->Items(3);
        p.X = 1.75;
        p.Y = -2.5;
        p.Cor = clFuchsia;
        p.Forma = 1 - p.Forma;
        p.Tamanho = 9;
        c->Pontos()->Items(4).Forma = 2;
        c->Pontos()->Items(5).Tamanho = 70;
    }
    conferir("point fields");

    for (TSomatocarta *c : {&rapida, &lenta})
        c->resize(430, 390);
    imagem = QImage(rapida.size(), QImage::Format_RGB32);
    canvas.SetImage(&imagem);
    rapida.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rapida, 5000));
    QTRY_COMPARE_WITH_TIMEOUT(rapida.Image().size(), QSize(430, 390), 5000);
    conferir("control size");

    for (TSomatocarta *c : {&rapida, &lenta})
        c->Legenda()->AjustarFiTamDaFonte(14);
    conferir("legend font");

    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    conferir("locale");
    QLocale::setDefault(localeAntigo);

    for (TSomatocarta *c : {&rapida, &lenta})
        c->AjustarFbMostrarCoord(false);
    for (TSomatocarta *c : {&rapida, &lenta})
        c->Paint();
    QCOMPARE(PixelsDiferentes(rapida.Image(), imagem), 0);
}

void TstSomatocarta::streamingRoundTrip()
{
    TSomatocarta origem;
    origem.AjustarTamanhoDaCarta(301);
    origem.AjustarFbMostrarEixos(false);
    origem.AjustarFcCorDaCarta(clGreen);
    origem.AjustarFdOffsetCartaMultiplicador(1.5);
    TColecaoDePontos *pontos = origem.Pontos();
    pontos->AcrescentarPonto(1.25, -3, clRed, 1, 7, QStringLiteral("Primeiro"));
    pontos->AcrescentarPonto(0, 0, 0, 0, 0, QString());
    pontos->AcrescentarPonto(std::nan(""), -std::numeric_limits<double>::infinity(), 0x123456, -4,
                             -2, QStringLiteral("Descrição \"x\""));
    pontos->AcrescentarPonto(-6, 12, clNone, 2, 2147483647, QStringLiteral("0"));
    const QJsonObject json = TPropertyStream::Write(&origem);
    QVERIFY(json.value("Pontos").isArray());

    TSomatocarta destino;
    destino.Pontos()->AcrescentarPonto(9, 9, clBlack, 0, 1, QStringLiteral("velho"));
    TPropertyStream::Read(&destino, json);
    QCOMPARE(destino.TamanhoDaCarta(), 301);
    QCOMPARE(destino.TamanhoDaCartaMM(), origem.TamanhoDaCartaMM());
    QCOMPARE(destino.MostrarEixos(), false);
    QCOMPARE(quint32(destino.CorDaCarta()), quint32(clGreen));
    QCOMPARE(destino.OffsetCartaMultiplicador(), 1.5);
    QCOMPARE(destino.B(), origem.B());
    QCOMPARE(destino.Pontos()->Count(), pontos->Count());
    for (int i = 0; i < pontos->Count(); ++i) {
        const TPonto &a = pontos->Items(i), &b = destino.Pontos()->Items(i);
        QVERIFY2(a.X == b.X || (std::isnan(a.X) && std::isnan(b.X)),
                 qPrintable(QString::number(i)));
        QCOMPARE(b.Y, a.Y);
        QCOMPARE(b.Forma, a.Forma);
        QCOMPARE(b.Tamanho, a.Tamanho);
        QCOMPARE(quint32(b.Cor), quint32(a.Cor));
        QCOMPARE(b.Descricao, a.Descricao);
    }
    // No points written: reading empties the collection; a wrong type leaves it alone.
    TSomatocarta vazia;
    TPropertyStream::Read(&destino, TPropertyStream::Write(&vazia));
    QCOMPARE(destino.Pontos()->Count(), 0);
    destino.Pontos()->AcrescentarPonto(1, 1, clBlack, 0, 1, QString());
    QJsonObject errado;
    errado.insert("Pontos", 5);
    TPropertyStream::Read(&destino, errado);
    QCOMPARE(destino.Pontos()->Count(), 1);
}

void TstSomatocarta::streamingDefaultsKeepSizes()
{
    // The two sizes derive each other through their setters; reading the defaults back must
    // not turn 300 px into the pixels of 79 mm.
    TSomatocarta origem;
    TSomatocarta destino;
    destino.AjustarTamanhoDaCarta(120);
    TPropertyStream::Read(&destino, TPropertyStream::Write(&origem));
    QCOMPARE(destino.TamanhoDaCarta(), 300);
    QCOMPARE(destino.TamanhoDaCartaMM(), origem.TamanhoDaCartaMM());
    QCOMPARE(destino.B(), 217);
}

void TstSomatocarta::streamingDrawsOnceWithTheSamePixels_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("legend moved, points") << QByteArray(
        R"({"CorDeFundo":"clYellow","CorDaCarta":"clNavy","MostrarLinhasInternas":false,)"
        R"("MostrarFiguras":false,"Legenda":{"Visivel":true,"CoordIniX":40,"CoordIniY":25,)"
        R"("CorDeFundo":"clAqua","TamDaFonte":11},"Pontos":[{"X":1.5,"Y":-2,"Cor":255,)"
        R"("Descricao":"A"},{"X":-4,"Y":6,"Forma":1,"Descricao":"Bb"}]})");
    QTest::newRow("no legend") << QByteArray(
        R"({"CorDosEixos":"clRed","MostrarCoord":false,"CorDaBorda":"clGreen",)"
        R"("Legenda":{"Visivel":false},"Pontos":[{"X":0,"Y":3,"Tamanho":9}]})");
}

void TstSomatocarta::streamingDrawsOnceWithTheSamePixels()
{
    // Reading a form sets every property; the chart draws once, at the end, and shows what a
    // chart given the same properties before its first paint shows.
    QFETCH(QByteArray, json);
    const QJsonObject props = QJsonDocument::fromJson(json).object();
    QVERIFY(!props.isEmpty());

    TCartaGravada gravada;
    TPropertyStream::Read(&gravada.carta, props);
    QCOMPARE(gravada.Chamadas(QStringLiteral("ResetClip")).size(), 1);

    TSomatocarta lida, aMao;
    lida.grab();  // the backing image exists: reading draws straight into it
    TPropertyStream::Read(&lida, props);
    // Reading sets the absent properties to their declared defaults.
    TPropertyStream::Read(&aMao, QJsonObject());
    const QMetaObject *meta = aMao.metaObject();
    for (auto it = props.begin(); it != props.end(); ++it) {
        const QMetaProperty p = meta->property(meta->indexOfProperty(qPrintable(it.key())));
        if (it.key() == QLatin1String("Legenda"))
            TPropertyStream::Read(aMao.Legenda(), it->toObject());
        else if (it.key() != QLatin1String("Pontos"))
            QVERIFY(aMao.setProperty(p.name(), TPropertyStream::FromJson(p, *it)));
    }
    aMao.AjustarPontosJson(
        QString::fromUtf8(QJsonDocument(props.value("Pontos").toArray()).toJson()));
    aMao.grab();
    QCOMPARE(lida.Pontos()->Count(), aMao.Pontos()->Count());
    QCOMPARE(PixelsDiferentes(lida.Image(), aMao.Image()), 0);
}

QTEST_MAIN(TstSomatocarta)
#include "tst_somatocarta.moc"

#include <QtTest>
#include <limits>

#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/recordingcanvas.h"

// Pixel checks of the drawing conventions on an image surface, plus colours, text layout and
// the recording canvas.
class TestCanvas : public QObject {
    Q_OBJECT

private:
    QImage FImage;

    static constexpr QRgb kWhite = 0xFFFFFFFF;

    void Reset(int w = 64, int h = 64)
    {
        FImage = QImage(w, h, QImage::Format_RGB32);
        FImage.fill(kWhite);
    }
    bool Ink(int x, int y) const { return FImage.pixel(x, y) != kWhite; }
    QRgb At(int x, int y) const { return FImage.pixel(x, y) | 0xFF000000; }
    int InkCount(const QRect &area) const
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += Ink(x, y) ? 1 : 0;
        return n;
    }
    // The bounding box of all non-white pixels.
    QRect InkBounds() const
    {
        QRect r;
        for (int y = 0; y < FImage.height(); ++y)
            for (int x = 0; x < FImage.width(); ++x)
                if (Ink(x, y))
                    r = r.united(QRect(x, y, 1, 1));
        return r;
    }

private slots:
    void colorConversions_data();
    void colorConversions();
    void colorStrings_data();
    void colorStrings();
    void rectangleExcludesRightAndBottom_data();
    void rectangleExcludesRightAndBottom();
    void rectangleWithoutPenIsOneSmaller();
    void lineToExcludesEndPixel_data();
    void lineToExcludesEndPixel();
    void polygonOutlineClosesEveryVertex();
    void styledPens_data();
    void styledPens();
    void widePenIsSolid();
    void directAndPainterLinesAgree();
    void farAwayCoordinates_data();
    void farAwayCoordinates();
    void clippedDashKeepsItsPhase();
    void arcRunsCounterClockwise_data();
    void arcRunsCounterClockwise();
    void pieFillsItsSector();
    void chordAndXorPie();
    void ellipseStaysInsideBox_data();
    void ellipseStaysInsideBox();
    void fillAndFrameRect();
    void clipRectLimitsDrawing();
    void xorTwiceRestores();
    void textAlignment_data();
    void textAlignment();
    void opaqueTextFillsCell();
    void drawTextLayout_data();
    void drawTextLayout();
    void drawTextDrawsLinesInsideRect();
    void stretchDrawNearestPixel();
    void deviceCapsAndFontScaling();
    void noSurfaceRaisesButMeasures();
    void recordingKeepsArgumentsAndState();
    void onChangeOncePerOperation();
};

void TestCanvas::colorConversions_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("red low byte") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("blue high byte") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed") << quint32(0x123456) << QColor(0x56, 0x34, 0x12);
    QTest::newRow("btnface") << quint32(clBtnFace) << QColor(192, 192, 192);
    QTest::newRow("btnshadow") << quint32(clBtnShadow) << QColor(128, 128, 128);
    QTest::newRow("btnhighlight") << quint32(clBtnHighlight) << QColor(255, 255, 255);
    QTest::newRow("none paints white") << quint32(clNone) << QColor(255, 255, 255);
    QTest::newRow("unknown system index") << quint32(0x800000FF) << QColor(0, 0, 0);
}

void TestCanvas::colorConversions()
{
    QFETCH(quint32, value);
    QFETCH(QColor, expected);
    QCOMPARE(TColor(value).ToQColor(), expected);
    if (!TColor(value).IsSystem() && value <= 0xFFFFFF)
        QCOMPARE(quint32(TColor::FromQColor(expected)), value);
}

void TestCanvas::colorStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("value");
    QTest::newRow("name") << "clRed" << true << quint32(0x0000FF);
    QTest::newRow("name any case") << "CLBTNFACE" << true << quint32(0x8000000F);
    QTest::newRow("dollar hex") << "$00C0C0C0" << true << quint32(0xC0C0C0);
    QTest::newRow("0x hex") << "0xFF" << true << quint32(0xFF);
    QTest::newRow("decimal") << "255" << true << quint32(255);
    QTest::newRow("negative decimal") << "-1" << true << quint32(0xFFFFFFFF);
    QTest::newRow("html rgb") << "#FF0000" << true << quint32(0x0000FF);
    QTest::newRow("too large") << "$1FFFFFFFF" << false << quint32(0);
    QTest::newRow("garbage") << "reddish" << false << quint32(0);
    QTest::newRow("empty") << "" << false << quint32(0);
    QTest::newRow("short html") << "#F00" << false << quint32(0);
}

void TestCanvas::colorStrings()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(quint32, value);
    TColor c = 0x777777u;
    QCOMPARE(TColor::FromString(text, &c), valid);
    QCOMPARE(quint32(c), valid ? value : 0x777777u);
    if (valid) {
        TColor back = 0;
        QVERIFY(TColor::FromString(c.ToString(), &back));
        QCOMPARE(back, c);
    }
}

void TestCanvas::rectangleExcludesRightAndBottom_data()
{
    QTest::addColumn<QRect>("corners");  // x1, y1, x2, y2 packed as left/top/width/height
    QTest::newRow("plain") << QRect(2, 3, 10, 8);
    QTest::newRow("reversed corners") << QRect(10, 8, -8, -5);
    QTest::newRow("two by two") << QRect(5, 5, 2, 2);
}

void TestCanvas::rectangleExcludesRightAndBottom()
{
    QFETCH(QRect, corners);
    const int x1 = corners.x(), y1 = corners.y();
    const int x2 = x1 + corners.width(), y2 = y1 + corners.height();
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clBlue;
    c.Rectangle(x1, y1, x2, y2);
    const int l = qMin(x1, x2), t = qMin(y1, y2), r = qMax(x1, x2), b = qMax(y1, y2);
    QCOMPARE(InkBounds(), QRect(l, t, r - l, b - t));
    QCOMPARE(At(l, t), qRgb(0, 0, 0));
    QCOMPARE(At(r - 1, b - 1), qRgb(0, 0, 0));
    if (r - l > 2 && b - t > 2)
        QCOMPARE(At(l + 1, t + 1), qRgb(0, 0, 255));
}

void TestCanvas::rectangleWithoutPenIsOneSmaller()
{
    Reset();
    TCanvas c(&FImage);
    c.Pen().Style = TCanvas::psClear;
    c.Brush().Color = clRed;
    c.Rectangle(4, 4, 10, 9);
    QCOMPARE(InkBounds(), QRect(4, 4, 5, 4));
    QCOMPARE(At(4, 4), qRgb(255, 0, 0));
}

void TestCanvas::lineToExcludesEndPixel_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("right") << QPoint(2, 5) << QPoint(12, 5);
    QTest::newRow("left") << QPoint(12, 5) << QPoint(2, 5);
    QTest::newRow("down") << QPoint(4, 1) << QPoint(4, 20);
    QTest::newRow("up") << QPoint(4, 20) << QPoint(4, 1);
    QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(11, 11);
    QTest::newRow("anti-diagonal") << QPoint(11, 1) << QPoint(1, 11);
    QTest::newRow("shallow") << QPoint(0, 0) << QPoint(20, 7);
    QTest::newRow("steep backwards") << QPoint(9, 30) << QPoint(3, 2);
    QTest::newRow("zero length") << QPoint(6, 6) << QPoint(6, 6);
}

void TestCanvas::lineToExcludesEndPixel()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    Reset();
    TCanvas c(&FImage);
    c.MoveTo(from.x(), from.y());
    c.LineTo(to.x(), to.y());
    const int steps = qMax(qAbs(to.x() - from.x()), qAbs(to.y() - from.y()));
    QCOMPARE(InkCount(FImage.rect()), steps);
    QVERIFY(!Ink(to.x(), to.y()));
    QCOMPARE(Ink(from.x(), from.y()), steps > 0);
    QCOMPARE(c.PenPos(), to);
    // A second segment continues without a gap: the joint pixel is drawn once, by it.
    c.LineTo(to.x() + 3, to.y());
    QVERIFY(Ink(to.x(), to.y()));
}

void TestCanvas::polygonOutlineClosesEveryVertex()
{
    Reset();
    TCanvas c(&FImage);
    c.Brush().Style = TCanvas::bsClear;
    const QList<QPoint> pts = {QPoint(5, 5), QPoint(30, 8), QPoint(20, 40)};
    c.Polygon(pts);
    for (const QPoint &p : pts)
        QVERIFY2(Ink(p.x(), p.y()), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // Polyline does not close and leaves out the last point.
    Reset();
    c.Polyline(pts);
    QVERIFY(Ink(5, 5));
    QVERIFY(Ink(30, 8));
    QVERIFY(!Ink(20, 40));
    QCOMPARE(c.PenPos(), QPoint(0, 0));
}

void TestCanvas::styledPens_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("pattern");  // one period: '#' pen, '.' gap
    QTest::newRow("dash") << int(TCanvas::psDash) << QString(18, u'#') + QString(6, u'.');
    QTest::newRow("dot") << int(TCanvas::psDot) << QStringLiteral("###...");
    QTest::newRow("dash dot") << int(TCanvas::psDashDot)
                              << QString(9, u'#') + QString(6, u'.') + QStringLiteral("###") +
                                     QString(6, u'.');
    QTest::newRow("dash dot dot") << int(TCanvas::psDashDotDot)
                                  << QString(9, u'#') + QStringLiteral("...###...###...");
}

void TestCanvas::styledPens()
{
    QFETCH(int, style);
    QFETCH(QString, pattern);
    Reset(80, 8);
    TCanvas c(&FImage);
    c.Pen().Style = TCanvas::TPenStyle(style);
    c.Brush().Style = TCanvas::bsClear;
    c.MoveTo(0, 2);
    c.LineTo(70, 2);
    // Opaque background: a solid brush fills the gaps with its colour.
    c.Brush().Style = TCanvas::bsSolid;
    c.Brush().Color = clLime;
    c.MoveTo(0, 5);
    c.LineTo(70, 5);
    for (int x = 0; x < 70; ++x) {
        const bool on = pattern[x % pattern.size()] == u'#';
        QCOMPARE(At(x, 2), on ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        QCOMPARE(At(x, 5), on ? qRgb(0, 0, 0) : qRgb(0, 255, 0));
    }
}

void TestCanvas::widePenIsSolid()
{
    Reset();
    TCanvas c(&FImage);
    c.Pen().Width = 3;
    c.Pen().Style = TCanvas::psDash;
    c.MoveTo(5, 10);
    c.LineTo(50, 10);
    for (int x = 5; x <= 50; ++x) {
        QVERIFY(Ink(x, 9));
        QVERIFY(Ink(x, 10));
        QVERIFY(Ink(x, 11));
    }
    QVERIFY(!Ink(20, 7));
    QVERIFY(!Ink(20, 13));
}

void TestCanvas::directAndPainterLinesAgree()
{
    // 32-bit images take the direct path, other formats the painter; both set the same pixels.
    QImage direct(97, 61, QImage::Format_RGB32), painted(97, 61, QImage::Format_RGB888);
    direct.fill(Qt::white);
    painted.fill(Qt::white);
    TCanvas a(&direct), b(&painted);
    for (TCanvas *c : {&a, &b}) {
        c->Pen().Color = clMaroon;
        c->SetClipRect({3, 2, 90, 55});
        for (int i = 0; i < 40; ++i) {
            c->MoveTo((i * 37) % 120 - 10, (i * 23) % 80 - 10);
            c->LineTo((i * 53) % 130 - 15, (i * 29) % 90 - 12);
        }
        c->SetClipRegion(QRegion(10, 10, 20, 20) + QRegion(40, 30, 20, 20));
        c->MoveTo(0, 0);
        c->LineTo(96, 60);
    }
    QCOMPARE(direct.convertToFormat(QImage::Format_RGB888), painted);
    // The two-rectangle clip lets the last line through only inside its rectangles.
    QCOMPARE(direct.pixel(50, 31), qRgb(128, 0, 0));
    QCOMPARE(direct.pixel(35, 22), qRgb(255, 255, 255));
}

void TestCanvas::farAwayCoordinates_data()
{
    // Lines whose end points lie far outside the image: only the visible part is walked, with
    // the same pixels the whole line has there.
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QList<QPoint>>("expected");  // the inked pixels
    QList<QPoint> row, diagonal, column;
    for (int i = 0; i < 64; ++i) {
        row << QPoint(i, 5);
        diagonal << QPoint(i, i);
        column << QPoint(5, i);
    }
    QTest::newRow("row") << QPoint(-2000000000, 5) << QPoint(2000000000, 5) << row;
    QTest::newRow("diagonal") << QPoint(-1000000, -1000000) << QPoint(1000000, 1000000) << diagonal;
    QTest::newRow("steep") << QPoint(0, -100000000) << QPoint(10, 100000000) << column;
    QTest::newRow("outside") << QPoint(-5000, -10) << QPoint(5000, -10) << QList<QPoint>();
}

void TestCanvas::farAwayCoordinates()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QList<QPoint>, expected);
    Reset();
    TCanvas c(&FImage);
    c.MoveTo(from.x(), from.y());
    c.LineTo(to.x(), to.y());
    QCOMPARE(InkCount(FImage.rect()), int(expected.size()));
    for (const QPoint &p : expected)
        QVERIFY2(Ink(p.x(), p.y()), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    QCOMPARE(c.PenPos(), to);
    // Shapes with far-away corners fill what is visible.
    Reset();
    c.Brush().Color = clRed;
    c.Pen().Style = TCanvas::psClear;
    c.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    c.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    QCOMPARE(At(0, 0), qRgb(255, 0, 0));
    QCOMPARE(At(63, 63), qRgb(255, 0, 0));
}

void TestCanvas::clippedDashKeepsItsPhase()
{
    Reset(80, 8);
    TCanvas c(&FImage);
    c.Pen().Style = TCanvas::psDash;
    c.Brush().Style = TCanvas::bsClear;
    c.MoveTo(-30, 2);
    c.LineTo(70, 2);
    c.SetClipRect({0, 0, 40, 8});
    c.MoveTo(10, 4);
    c.LineTo(79, 4);
    for (int x = 0; x < 70; ++x) {
        QCOMPARE(Ink(x, 2), (x + 30) % 24 < 18);
        QCOMPARE(Ink(x, 4), x >= 10 && x < 40 && (x - 10) % 24 < 18);
    }
}

void TestCanvas::arcRunsCounterClockwise_data()
{
    // Circle in the box (0, 0, 41, 41), centre (20, 20), radius 20.
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QList<QRect>>("inked");  // quadrants that must hold arc pixels
    QTest::addColumn<QList<QRect>>("empty");  // quadrants that must stay empty
    const QRect upperRight(24, 0, 17, 17), upperLeft(0, 0, 17, 17);
    const QRect lowerLeft(0, 24, 17, 17), lowerRight(24, 24, 17, 17);
    QTest::newRow("right to top") << QPoint(40, 20) << QPoint(20, 0) << QList<QRect>{upperRight}
                                  << QList<QRect>{upperLeft, lowerLeft, lowerRight};
    QTest::newRow("top to right") << QPoint(20, 0) << QPoint(40, 20)
                                  << QList<QRect>{upperLeft, lowerLeft, lowerRight}
                                  << QList<QRect>{upperRight};
    QTest::newRow("left to right via bottom")
        << QPoint(0, 20) << QPoint(40, 20) << QList<QRect>{lowerLeft, lowerRight}
        << QList<QRect>{upperLeft, upperRight};
    QTest::newRow("radials far outside")
        << QPoint(300, 20) << QPoint(20, -500) << QList<QRect>{upperRight}
        << QList<QRect>{upperLeft, lowerLeft, lowerRight};
    QTest::newRow("same radial is whole circle")
        << QPoint(40, 20) << QPoint(40, 20)
        << QList<QRect>{upperRight, upperLeft, lowerLeft, lowerRight} << QList<QRect>{};
}

void TestCanvas::arcRunsCounterClockwise()
{
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    QFETCH(QList<QRect>, inked);
    QFETCH(QList<QRect>, empty);
    Reset();
    TCanvas c(&FImage);
    c.Arc(0, 0, 41, 41, start.x(), start.y(), end.x(), end.y());
    for (const QRect &q : inked)
        QVERIFY(InkCount(q) > 5);
    for (const QRect &q : empty)
        QCOMPARE(InkCount(q), 0);
    QVERIFY(QRect(0, 0, 41, 41).contains(InkBounds()));
    // The arc is part of the outline of the ellipse in the same box.
    const QImage arc = FImage.copy();
    Reset();
    c.Brush().Style = TCanvas::bsClear;
    c.Ellipse(0, 0, 41, 41);
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            QVERIFY(arc.pixel(x, y) == kWhite || Ink(x, y));
}

void TestCanvas::pieFillsItsSector()
{
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clRed;
    c.Pie(0, 0, 41, 41, 40, 20, 20, 0);
    QCOMPARE(At(28, 12), qRgb(255, 0, 0));  // inside the upper-right sector
    QVERIFY(!Ink(12, 28));                  // opposite quadrant untouched
    QVERIFY(!Ink(12, 12));
    QVERIFY(Ink(20, 20));  // the centre lies on the pie's radial edges
}

void TestCanvas::chordAndXorPie()
{
    // A chord from the right to the left radial keeps the upper half only.
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clRed;
    c.Chord(0, 0, 41, 41, 40, 20, 0, 20);
    QCOMPARE(InkCount(QRect(0, 22, 41, 19)), 0);
    QCOMPARE(At(20, 10), qRgb(255, 0, 0));
    QCOMPARE(At(0, 20), qRgb(0, 0, 0));
    QCOMPARE(At(40, 20), qRgb(0, 0, 0));
    QCOMPARE(At(20, 0), qRgb(0, 0, 0));
    // Every pen pixel of a pie is set once: in xor mode none of them flips back.
    Reset();
    c.Brush().Style = TCanvas::bsClear;
    c.Pie(0, 0, 41, 41, 40, 20, 20, 0);
    const int copied = InkCount(FImage.rect());
    Reset();
    c.Pen().Mode = TCanvas::pmXor;
    c.Pen().Color = clWhite;
    c.Pie(0, 0, 41, 41, 40, 20, 20, 0);
    QCOMPARE(InkCount(FImage.rect()), copied);
    QCOMPARE(At(20, 20), qRgb(0, 0, 0));  // the centre, shared by both radials
    c.Pie(0, 0, 41, 41, 40, 20, 20, 0);
    QCOMPARE(InkCount(FImage.rect()), 0);
}

void TestCanvas::ellipseStaysInsideBox_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<int>("penWidth");
    QTest::newRow("wide") << QRect(3, 5, 27, 15) << 1;
    QTest::newRow("odd circle") << QRect(10, 10, 11, 11) << 1;
    QTest::newRow("even circle") << QRect(10, 10, 12, 12) << 0;
    QTest::newRow("tall") << QRect(20, 2, 6, 40) << 1;
    QTest::newRow("one pixel") << QRect(5, 5, 1, 1) << 1;
    QTest::newRow("flat") << QRect(5, 5, 30, 2) << 1;
    QTest::newRow("thin") << QRect(5, 5, 2, 40) << 1;
    QTest::newRow("clear pen") << QRect(3, 3, 9, 7) << -1;
}

void TestCanvas::ellipseStaysInsideBox()
{
    QFETCH(QRect, box);
    QFETCH(int, penWidth);
    Reset();
    TCanvas c(&FImage);
    c.Pen().Width = penWidth;
    if (penWidth < 0)
        c.Pen().Style = TCanvas::psClear;
    c.Brush().Color = clYellow;
    c.Ellipse(box.left(), box.top(), box.left() + box.width(), box.top() + box.height());
    QCOMPARE(InkBounds(), box);
    // Mirror-symmetric both ways, outline in pen colour on every row's ends.
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int first = -1;
        for (int x = box.left(); x <= box.right(); ++x) {
            const int mx = box.left() + box.right() - x, my = box.top() + box.bottom() - y;
            QCOMPARE(At(x, y), At(mx, y));
            QCOMPARE(At(x, y), At(x, my));
            if (first < 0 && Ink(x, y))
                first = x;
        }
        QVERIFY(first >= 0);
        QCOMPARE(At(first, y), penWidth < 0 ? qRgb(255, 255, 0) : qRgb(0, 0, 0));
    }
    if (box.width() > 4 && box.height() > 4)
        QCOMPARE(At(box.center().x(), box.center().y()), qRgb(255, 255, 0));
}

void TestCanvas::fillAndFrameRect()
{
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clGreen;
    c.FillRect({4, 4, 9, 7});
    QCOMPARE(InkBounds(), QRect(4, 4, 5, 3));
    QCOMPARE(InkCount(FImage.rect()), 15);
    Reset();
    c.FrameRect({10, 10, 20, 16});
    QCOMPARE(InkBounds(), QRect(10, 10, 10, 6));
    QVERIFY(!Ink(11, 11));
    QCOMPARE(InkCount(FImage.rect()), 2 * 10 + 2 * 4);
}

void TestCanvas::clipRectLimitsDrawing()
{
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clBlack;
    c.SetClipRect({10, 10, 20, 15});
    c.FillRect({0, 0, 64, 64});
    QCOMPARE(InkBounds(), QRect(10, 10, 10, 5));
    c.MoveTo(0, 30);
    c.LineTo(60, 30);
    QCOMPARE(InkBounds(), QRect(10, 10, 10, 5));
    c.ResetClip();
    QVERIFY(!c.HasClip());
    c.LineTo(60, 40);
    QVERIFY(Ink(60, 35));
}

void TestCanvas::xorTwiceRestores()
{
    Reset();
    TCanvas c(&FImage);
    c.Brush().Color = clTeal;
    c.FillRect({0, 0, 32, 64});
    const QImage before = FImage.copy();
    c.Pen().Mode = TCanvas::pmXor;
    c.Pen().Color = clRed;
    c.MoveTo(0, 10);
    c.LineTo(60, 50);
    QVERIFY(FImage != before);
    QCOMPARE(At(0, 10), qRgb(255, 128, 128));  // teal (0, 128, 128) xor red
    c.MoveTo(0, 10);
    c.LineTo(60, 50);
    QCOMPARE(FImage, before);
}

void TestCanvas::textAlignment_data()
{
    QTest::addColumn<unsigned>("align");
    QTest::newRow("left top") << unsigned(TCanvas::taLeft | TCanvas::taTop);
    QTest::newRow("right top") << unsigned(TCanvas::taRight | TCanvas::taTop);
    QTest::newRow("centre baseline") << unsigned(TCanvas::taCenter | TCanvas::taBaseline);
    QTest::newRow("right bottom") << unsigned(TCanvas::taRight | TCanvas::taBottom);
}

void TestCanvas::textAlignment()
{
    QFETCH(unsigned, align);
    Reset(200, 100);
    TCanvas c(&FImage);
    c.Brush().Style = TCanvas::bsClear;
    c.Font().SetHeight(-20);
    c.SetTextAlign(align);
    const QString text = QStringLiteral("HHHH");
    const int x = 100, y = 50, w = c.TextWidth(text);
    const TCanvas::TTextMetric tm = c.TextMetrics();
    c.TextOut(x, y, text);
    const QRect ink = InkBounds();
    QVERIFY(!ink.isEmpty());
    const unsigned h = align & TCanvas::taHorizontalMask;
    const int left = h == TCanvas::taRight ? x - w : h == TCanvas::taCenter ? x - w / 2 : x;
    QVERIFY2(ink.left() >= left && ink.right() < left + w, qPrintable(QString::number(ink.left())));
    const unsigned v = align & TCanvas::taVerticalMask;
    const int baseline = v == TCanvas::taBottom     ? y - tm.Descent
                         : v == TCanvas::taBaseline ? y
                                                    : y + tm.Ascent;
    // Capital H sits on the baseline and reaches most of the ascent.
    QCOMPARE(ink.bottom(), baseline - 1);
    QVERIFY(ink.top() >= baseline - tm.Ascent);
    QVERIFY(ink.top() < baseline - tm.Ascent / 2);
    QCOMPARE(c.PenPos(), QPoint(x + w, y));
}

void TestCanvas::opaqueTextFillsCell()
{
    Reset(200, 60);
    TCanvas c(&FImage);
    c.Brush().Color = clYellow;
    c.Font().SetHeight(-16);
    c.TextOut(10, 10, QStringLiteral("Ag"));
    const QSize extent = c.TextExtent(QStringLiteral("Ag"));
    QCOMPARE(InkBounds(), QRect(QPoint(10, 10), extent));
    QCOMPARE(At(10, 10), qRgb(255, 255, 0));
}

void TestCanvas::drawTextLayout_data()
{
    // Fixed metrics with character height 10: characters 5 wide, lines 13 high.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("bottom");
    const unsigned calc = TCanvas::dtCalcRect | TCanvas::dtNoClip;
    const unsigned wrap = calc | TCanvas::dtWordBreak;
    QTest::newRow("fits on one line") << "aaa bbb" << 40 << wrap << 35 << 13;
    QTest::newRow("wraps") << "aaa bbb ccc" << 40 << wrap << 35 << 26;
    QTest::newRow("exact width still fits") << "aaaaaaaa" << 40 << wrap << 40 << 13;
    QTest::newRow("long word widens") << "aaaaaaaaaa b" << 40 << wrap << 50 << 26;
    QTest::newRow("line breaks") << "a\nbb\r\nccc" << 100 << wrap << 15 << 39;
    QTest::newRow("no word break keeps line") << "aaa bbb ccc" << 40 << calc << 55 << 13;
    QTest::newRow("single line joins")
        << "a\nb" << 100 << (calc | TCanvas::dtSingleLine) << 15 << 13;
    QTest::newRow("prefix removed") << "&File" << 100 << calc << 20 << 13;
    QTest::newRow("no prefix keeps it")
        << "&File" << 100 << (calc | TCanvas::dtNoPrefix) << 25 << 13;
    QTest::newRow("the print-box format") << "word word word" << 45 << 0x510u << 45 << 26;
    QTest::newRow("empty text is one line") << "" << 40 << wrap << 0 << 13;
    QTest::newRow("trailing spaces at a break") << "aaa    bbb" << 20 << wrap << 15 << 26;
}

void TestCanvas::drawTextLayout()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(unsigned, flags);
    QFETCH(int, right);
    QFETCH(int, bottom);
    TRecordingCanvas c;
    c.Font().SetHeight(-10);
    QCOMPARE(c.TextWidth(QStringLiteral("abcd")), 20);
    QCOMPARE(c.TextHeight(QStringLiteral("abcd")), 13);
    TRect r{0, 0, width, 5};
    const int height = c.DrawText(r, text, flags);
    QCOMPARE(r.Right, right);
    QCOMPARE(r.Bottom, bottom);
    QCOMPARE(height, bottom);
}

void TestCanvas::drawTextDrawsLinesInsideRect()
{
    Reset(200, 100);
    TCanvas c(&FImage);
    c.Brush().Style = TCanvas::bsClear;
    c.Font().SetHeight(-14);
    const QString text = QStringLiteral("one two three four five six");
    TRect calc{20, 10, 90, 10};
    const int h = c.DrawText(calc, text, TCanvas::dtCalcRect | TCanvas::dtWordBreak);
    QCOMPARE(InkCount(FImage.rect()), 0);  // calculating draws nothing
    QVERIFY(h >= 2 * c.TextMetrics().Height);
    TRect box{20, 10, 90, 10 + h};
    QCOMPARE(c.DrawText(box, text, TCanvas::dtWordBreak | TCanvas::dtCenter), h);
    const QRect ink = InkBounds();
    QVERIFY(QRect(20, 10, 70, h).contains(ink));
    QVERIFY(ink.height() > c.TextMetrics().Height);
    // Clipped to the rectangle unless dtNoClip.
    Reset(200, 100);
    const QString caps = QStringLiteral("HHHHHH HHHHHH");
    TRect tiny{20, 10, 40, 18};
    c.DrawText(tiny, caps, TCanvas::dtLeft);
    QVERIFY(!InkBounds().isEmpty());
    QCOMPARE(InkBounds().bottom(), 17);
    QVERIFY(InkBounds().right() <= 39);
    QVERIFY(InkBounds().right() >= 30);
    Reset(200, 100);
    c.DrawText(tiny, caps, TCanvas::dtLeft | TCanvas::dtNoClip);
    QVERIFY(InkBounds().bottom() > 17);
    QVERIFY(InkBounds().right() > 39);
}

void TestCanvas::stretchDrawNearestPixel()
{
    QImage src(2, 2, QImage::Format_RGB32);
    src.setPixel(0, 0, qRgb(255, 0, 0));
    src.setPixel(1, 0, qRgb(0, 255, 0));
    src.setPixel(0, 1, qRgb(0, 0, 255));
    src.setPixel(1, 1, qRgb(0, 0, 0));
    Reset();
    TCanvas c(&FImage);
    c.StretchDraw({10, 10, 14, 14}, src);
    QCOMPARE(InkBounds(), QRect(10, 10, 4, 4));
    QCOMPARE(At(11, 11), qRgb(255, 0, 0));
    QCOMPARE(At(12, 11), qRgb(0, 255, 0));
    QCOMPARE(At(11, 12), qRgb(0, 0, 255));
    QCOMPARE(At(13, 13), qRgb(0, 0, 0));
    Reset();
    c.Draw(3, 4, src);
    QCOMPARE(InkBounds(), QRect(3, 4, 2, 2));
}

void TestCanvas::deviceCapsAndFontScaling()
{
    QImage image(100, 50, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(300 / 0.0254));
    image.setDotsPerMeterY(qRound(300 / 0.0254));
    TCanvas c(&image);
    QCOMPARE(c.PixelsPerInchX(), 300);
    QCOMPARE(c.DeviceCaps(TCanvas::HorzRes), 100);
    QCOMPARE(c.DeviceCaps(TCanvas::VertRes), 50);
    QCOMPARE(c.DeviceCaps(TCanvas::PhysicalWidth), 0);
    c.Font().SetSize(9);
    QCOMPARE(c.Font().PixelHeight(c.PixelsPerInchY()), 38);  // 9 pt at 300 dpi, rounded
    c.SetPixelsPerInch(96, 96);
    QCOMPARE(c.PixelsPerInchY(), 96);
    QCOMPARE(c.Font().PixelHeight(96), 12);
    // Points scale with the device, pixel heights do not.
    TRecordingCanvas r;
    r.Font().SetSize(10);
    r.SetPixelsPerInch(600, 600);
    QCOMPARE(r.TextMetrics().Ascent, 83);
    r.Font().SetHeight(-10);
    QCOMPARE(r.TextMetrics().Ascent, 10);
    r.Font().SetHeight(20);  // cell height
    QCOMPARE(r.TextMetrics().Height, 20);
    QCOMPARE(r.TextMetrics().Ascent, 16);
    // A positive (cell) height maps onto the real font so that ascent + descent matches.
    TCanvas real;
    real.Font().SetHeight(40);
    QVERIFY(qAbs(real.TextMetrics().Height - 40) <= 2);
    const QFont f =
        TCanvas::TFont::FromQFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold)).ToQFont(96);
    QCOMPARE(f.pixelSize(), 12);
    QVERIFY(f.bold());
    // Sizes beyond an int's reach (a font read from a form) are clamped, not wrapped.
    QFont huge(QStringLiteral("Arial"));
    huge.setPointSizeF(6.7e91);
    QCOMPARE(TCanvas::TFont::FromQFont(huge).Size(), 32767);
    TCanvas::TFont big;
    big.SetSize(std::numeric_limits<int>::max());
    QCOMPARE(big.PixelHeight(600), std::numeric_limits<int>::max());
    // The recording canvas' fixed model bounds them too, in every form a size takes.
    for (const int height : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        r.Font().SetHeight(height);
        QCOMPARE(r.TextMetrics().Height, r.TextMetrics().Ascent + r.TextMetrics().Descent);
        QVERIFY(r.TextMetrics().Ascent > 0);
        QCOMPARE(r.TextWidth(QString(64, u'x')), std::numeric_limits<int>::max());
    }
    r.Font().SetSize(std::numeric_limits<int>::max());
    QVERIFY(r.TextMetrics().Ascent > 0);
}

void TestCanvas::noSurfaceRaisesButMeasures()
{
    TCanvas c;
    QVERIFY(!c.HasSurface());
    QVERIFY(c.TextWidth(QStringLiteral("abc")) > 0);
    QVERIFY_THROWS_EXCEPTION(Exception, c.LineTo(5, 5));
    QVERIFY_THROWS_EXCEPTION(Exception, c.TextOut(0, 0, QStringLiteral("x")));
    QImage null;
    c.SetImage(&null);
    QVERIFY_THROWS_EXCEPTION(Exception, c.FillRect({0, 0, 2, 2}));
    // An image format a painter cannot draw on is refused, not silently left blank.
    QCOMPARE(quint32(c.Pixel(0, 0)), quint32(clNone));
    QImage indexed(8, 8, QImage::Format_Indexed8);
    indexed.fill(0);
    c.SetImage(&indexed);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot paint")));
    QVERIFY_THROWS_EXCEPTION(Exception, c.LineTo(5, 5));
}

void TestCanvas::recordingKeepsArgumentsAndState()
{
    TRecordingCanvas c;
    c.Pen().Color = clRed;
    c.Pen().Width = 3;
    c.MoveTo(1, 2);
    c.LineTo(10, 20);
    c.SetClipRect({0, 0, 50, 40});
    c.Brush().Style = TCanvas::bsDiagCross;
    c.Rectangle(TRect{5, 6, 7, 8});
    c.SetTextAlign(TCanvas::taRight);
    c.TextOut(30, 4, QStringLiteral("abc"));
    c.Polyline({QPoint(1, 1), QPoint(2, 3)});
    c.ResetClip();
    const QList<TRecordingCanvas::TCall> &calls = c.Calls();
    QCOMPARE(calls.size(), 7);
    QCOMPARE(calls[1].Op, QStringLiteral("LineTo"));
    QCOMPARE(calls[1].Args, QList<int>({10, 20}));
    QCOMPARE(calls[1].PenPos, QPoint(1, 2));
    QCOMPARE(calls[1].Pen.Color, clRed);
    QCOMPARE(calls[1].Pen.Width, 3);
    QVERIFY(!calls[1].Clipped);
    QCOMPARE(calls[3].ToString(), QStringLiteral("Rectangle(5, 6, 7, 8)"));
    QVERIFY(calls[3].Clipped);
    QCOMPARE(calls[3].Clip, QRegion(0, 0, 50, 40));
    QCOMPARE(calls[3].Brush.Style, TCanvas::bsDiagCross);
    QCOMPARE(calls[4].Text, QStringLiteral("abc"));
    QCOMPARE(calls[4].TextAlign, unsigned(TCanvas::taRight));
    QCOMPARE(calls[5].Args, QList<int>({1, 1, 2, 3}));
    QCOMPARE(c.CallsNamed(QStringLiteral("ResetClip")).size(), 1);
    QCOMPARE(c.PenPos(), QPoint(30 + c.TextWidth(QStringLiteral("abc")), 4));
    // With a surface it draws as well, and each call is recorded once.
    Reset();
    c.ClearCalls();
    c.SetImage(&FImage);
    c.Pen().Width = 1;
    c.Brush().Style = TCanvas::bsSolid;
    c.Brush().Color = clNavy;
    c.FrameRect({2, 2, 6, 6});
    c.FillRect({10, 10, 12, 12});
    QCOMPARE(c.Calls().size(), 2);
    QVERIFY(Ink(2, 2));
    QVERIFY(Ink(11, 11));
}

void TestCanvas::onChangeOncePerOperation()
{
    Reset();
    TCanvas c(&FImage);
    int changes = 0;
    c.OnChange = [&changes] { ++changes; };
    c.MoveTo(0, 0);
    c.LineTo(5, 5);
    c.Rectangle(0, 0, 4, 4);
    c.TextOut(0, 0, QStringLiteral("a"));
    c.FrameRect({0, 0, 3, 3});
    QCOMPARE(changes, 4);
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"

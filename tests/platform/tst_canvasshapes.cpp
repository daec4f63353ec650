#include <QPainter>
#include <QtTest>
#include <climits>
#include <optional>

#include "platform/canvas.h"
#include "platform/recordingcanvas.h"

// Exact pixels of the canvas' arcs, pies, chords, ellipses and rounded rectangles: a table of
// boundary cases against the images the former per-pixel angle test drew, the image surface
// against a painter on the same kind of image, and the rounded rectangle's corners.
class TestCanvasShapes : public QObject {
    Q_OBJECT

private slots:
    void sameImagesAsBefore();
    void imageAndPainterAgree_data();
    void imageAndPainterAgree();
    void roundRectCorners_data();
    void roundRectCorners();
    void roundRectWidePenAndRecording();
    void linesAndFillsAgree_data();
    void linesAndFillsAgree();
};

namespace {

enum TShape { sArc, sPie, sChord, sEllipse, sRoundRect };

// FNV-1a of the image's pixels, row by row.
quint64 Hash(const QImage &image)
{
    quint64 h = 1469598103934665603ull;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int i = 0; i < image.width() * 4; ++i) {
            h ^= line[i];
            h *= 1099511628211ull;
        }
    }
    return h;
}

// Pen, brush and clip of a variant: 0 solid pen and brush, 1 clear pen, 2 clear brush, 3 xor pen
// and hatched brush, 4 drawn through a painter, 5 rectangular clip, 6 region clip, 7 wide pen,
// 8 dashed pen, 9 premultiplied image.
void SetUp(TCanvas &c, int variant)
{
    c.Pen() = TCanvas::TPen{clBlack, 1, TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{clRed, TCanvas::bsSolid};
    switch (variant) {
        case 1: c.Pen().Style = TCanvas::psClear; break;
        case 2:
            c.Brush().Style = TCanvas::bsClear;
            c.Pen().Width = 0;
            break;
        case 3:
            c.Pen().Mode = TCanvas::pmXor;
            c.Pen().Color = clYellow;
            c.Brush().Style = TCanvas::bsCross;
            break;
        case 5:
            c.SetClipRect({7, 5, 300, 250});
            c.Pen().Style = TCanvas::psInsideFrame;
            break;
        case 6: c.SetClipRegion(QRegion(0, 0, 40, 500).united(QRegion(30, 20, 900, 30))); break;
        case 7: c.Pen().Width = 3; break;
        case 8: c.Pen().Style = TCanvas::psDash; break;
        default: break;
    }
}

void Draw(TCanvas &c, TShape shape, const TRect &b, QPoint s, QPoint e, QSize corner = {})
{
    switch (shape) {
        case sArc: c.Arc(b.Left, b.Top, b.Right, b.Bottom, s.x(), s.y(), e.x(), e.y()); break;
        case sPie: c.Pie(b.Left, b.Top, b.Right, b.Bottom, s.x(), s.y(), e.x(), e.y()); break;
        case sChord: c.Chord(b.Left, b.Top, b.Right, b.Bottom, s.x(), s.y(), e.x(), e.y()); break;
        case sEllipse: c.Ellipse(b.Left, b.Top, b.Right, b.Bottom); break;
        case sRoundRect:
            c.RoundRect(b.Left, b.Top, b.Right, b.Bottom, corner.width(), corner.height());
            break;
    }
}

// The image a variant draws: on the image itself, or (variant 4, or throughPainter) through an
// external painter open on it.
QImage Drawn(QSize size, int variant, bool throughPainter,
             const std::function<void(TCanvas &)> &draw)
{
    QImage image(size, variant == 9 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(0xFF336699u);
    TCanvas c(&image);
    std::optional<QPainter> painter;
    if (variant == 4 || throughPainter) {
        painter.emplace(&image);
        c.SetPainter(&*painter);
    }
    SetUp(c, variant);
    draw(c);
    return image;
}

}  // namespace

void TestCanvasShapes::sameImagesAsBefore()
{
    // The boxes (and image sizes): circles of 50 and 51 pixels at (10, 10), centre (35, 35); a
    // flat 50 x 31; 300, 301 and 300 x 173 at (5, 5); 1000 and 999 at (3, 3); degenerate,
    // negative, reversed and very large boxes.
    struct TBox {
        TRect Box;
        QSize Image;
    };
    const TBox k50{{10, 10, 60, 60}, {120, 100}};
    const TBox k51{{10, 10, 61, 61}, {120, 100}};
    const TBox kFlat50{{10, 10, 60, 41}, {120, 100}};
    const TBox k300{{5, 5, 305, 305}, {320, 320}};
    const TBox k301{{5, 5, 306, 306}, {320, 320}};
    const TBox kFlat300{{5, 5, 305, 178}, {320, 200}};
    const TBox k1000{{3, 3, 1003, 1003}, {1010, 1010}};
    const TBox k999{{3, 3, 1002, 1002}, {1010, 1010}};
    const TBox kZeroWide{{20, 20, 20, 40}, {60, 60}};
    const TBox kOnePixel{{20, 20, 21, 21}, {60, 60}};
    const TBox kOneWide{{20, 5, 21, 45}, {60, 60}};
    const TBox kTwoByTwo{{20, 20, 22, 22}, {60, 60}};
    const TBox kThreeByThree{{20, 20, 23, 23}, {60, 60}};
    const TBox kNegative{{-20, -20, 30, 31}, {60, 60}};
    const TBox kReversed{{60, 50, 10, 10}, {120, 100}};
    const TBox kReversedX{{60, 10, 10, 50}, {120, 100}};
    const TBox kHuge{{-2000000000, -2000000000, 2000000000, 2000000000}, {64, 64}};
    const TBox kHugeEdge{{-2000, -2000, 100, 90}, {120, 100}};
    const TBox kMillion{{-1000000, -1000000, 1000040, 1000030}, {80, 60}};
    const TBox kAtLimit{{-134217733, 10, 100, 70}, {120, 100}};
    const TBox kFlatThin{{5, 20, 45, 22}, {60, 60}};
    struct TCase {
        const char *Name;
        TBox Where;
        TShape Shape;
        QPoint Start, End;
        int Variant;
        quint64 Hash;  // of the image as the former angle test drew it
    };
    const TCase cases[] = {
        {"quadrant: east to north", k50, sArc, {60, 35}, {35, 10}, 0, 0x931a10b5b3a676e3ULL},
        {"north to east: three quarters", k50, sArc, {35, 10}, {60, 35}, 0, 0x85ab0775b0388177ULL},
        {"quadrant: west to south", k50, sPie, {10, 35}, {35, 60}, 0, 0xd0cf11d6a4abf56cULL},
        {"start = end: whole ellipse", k50, sArc, {60, 35}, {60, 35}, 0, 0xae6061063341de4bULL},
        {"same direction 3:1, apart", k50, sArc, {38, 34}, {44, 32}, 0, 0x45e0d085afece8ebULL},
        {"same direction -5:-7", k50, sPie, {30, 28}, {25, 21}, 0, 0x21ad0b990cc4ceefULL},
        {"x axis, right, upwards", k50, sArc, {60, 50}, {60, 20}, 0, 0x0d7f97fb32fe1ee3ULL},
        {"x axis, left, downwards", k50, sArc, {10, 20}, {10, 50}, 0, 0x8569c6ddc5e6d183ULL},
        {"x axis, right, pie", k50, sPie, {60, 45}, {60, 25}, 0, 0xed3bc5a019a1e08bULL},
        {"opposite: half", k50, sPie, {60, 35}, {10, 35}, 0, 0xd468a58668dfe8f3ULL},
        {"centre as start", k50, sPie, {35, 35}, {10, 35}, 0, 0x18cb6588be11ccdcULL},
        {"far radials", k50, sPie, {2000000000, 35}, {35, -2000000000}, 0, 0xbc2f3b505f7e3a8cULL},
        {"int range", k50, sChord, {INT_MAX, -INT_MAX}, {-INT_MAX, 35}, 0, 0x7286f5a677f120cbULL},
        {"chord across x axis", k50, sChord, {60, 50}, {10, 50}, 0, 0x412bbfb2dd6fe9ecULL},
        {"chord, start = end", k50, sChord, {10, 35}, {10, 35}, 0, 0x87f3bf4713c45f8bULL},
        {"clear pen", k50, sPie, {60, 35}, {35, 60}, 1, 0x7b98a43fb29222cfULL},
        {"clear brush", k50, sChord, {60, 20}, {10, 50}, 2, 0x67e42d3e25afbc77ULL},
        {"xor pen, hatch brush", k50, sPie, {60, 35}, {35, 10}, 3, 0xa22e50b27f6c4c08ULL},
        {"external painter", k50, sPie, {60, 50}, {35, 10}, 4, 0x5eebb785cd80487bULL},
        {"rectangular clip", k50, sPie, {10, 10}, {60, 60}, 5, 0xe16dc564317d5098ULL},
        {"region clip", k50, sChord, {60, 10}, {10, 60}, 6, 0x5bdbdfc353dcf653ULL},
        {"wide pen", k50, sPie, {60, 35}, {35, 10}, 7, 0x7c70daacb8d27960ULL},
        {"dashed pen", k50, sArc, {60, 35}, {10, 36}, 8, 0xec3f02a52e671a83ULL},
        {"premultiplied image", k50, sPie, {20, 10}, {60, 40}, 9, 0x6cf52b0e4d94ab2bULL},
        {"51: quadrant", k51, sArc, {61, 35}, {35, 10}, 0, 0xf3ce61a62584d0cfULL},
        {"51: centre row, column", k51, sPie, {35, 35}, {35, 10}, 0, 0x25d946de2152c9e0ULL},
        {"51: across x axis", k51, sChord, {61, 45}, {61, 25}, 0, 0x88f92b145a1721a8ULL},
        {"50x31: pie", kFlat50, sPie, {60, 25}, {10, 40}, 0, 0xa006bca4fb9cd688ULL},
        {"50x31: arc, 15 deg off", kFlat50, sArc, {59, 19}, {20, 40}, 0, 0x531352409b8c432bULL},
        {"300: arc 30-250", k300, sArc, {415, 80}, {52, 440}, 0, 0xafa9bfa038a08243ULL},
        {"300: pie 250-30", k300, sPie, {52, 440}, {415, 80}, 0, 0xad29972ee67c4840ULL},
        {"300: chord", k300, sChord, {300, 120}, {30, 240}, 0, 0xdbbcf3ea2b5f392fULL},
        {"301: across axis", k301, sArc, {306, 170}, {306, 140}, 0, 0x0e8682b0c2bb0ee7ULL},
        {"301: pie, no brush", k301, sPie, {155, 5}, {306, 155}, 2, 0x0a0f6ce71a880f9fULL},
        {"300x173: pie", kFlat300, sPie, {305, 60}, {155, 178}, 0, 0x7068d1ca4f484633ULL},
        {"300x173: arc, painter", kFlat300, sArc, {5, 91}, {305, 91}, 4, 0x228094fbf4b2389fULL},
        {"1000: arc 30-250", k1000, sArc, {1369, 253}, {-168, 1443}, 0, 0x36760f88be5b3b6bULL},
        {"1000: pie", k1000, sPie, {1003, 400}, {100, 1003}, 0, 0x1b5cd4ee82b6901fULL},
        {"1000: chord", k1000, sChord, {503, 3}, {1003, 800}, 0, 0x0a7e46f2cf6a507cULL},
        {"999: pie, xor", k999, sPie, {900, 100}, {100, 900}, 3, 0x4cb3c70e0a82b2e4ULL},
        {"zero width", kZeroWide, sPie, {30, 30}, {20, 10}, 0, 0x4cd3ef9c057f82a3ULL},
        {"one pixel", kOnePixel, sPie, {30, 30}, {20, 10}, 0, 0xd8e4ee69f750f383ULL},
        {"one pixel wide", kOneWide, sArc, {30, 10}, {10, 40}, 0, 0x9ab7e594c1144a43ULL},
        {"two by two", kTwoByTwo, sChord, {30, 20}, {20, 30}, 0, 0xbefc9bee2ff48fffULL},
        {"3x3, centre start", kThreeByThree, sPie, {21, 21}, {20, 20}, 0, 0x142b3074c2dc6dfbULL},
        {"negative corner", kNegative, sPie, {30, 5}, {5, 30}, 0, 0x57bb2a01e1be4b97ULL},
        {"reversed box", kReversed, sPie, {60, 30}, {35, 50}, 0, 0x059bf741abb3b25fULL},
        {"reversed x", kReversedX, sChord, {60, 10}, {10, 50}, 0, 0xea3bcc1549654427ULL},
        {"huge box", kHuge, sPie, {2000000000, 0}, {0, 2000000000}, 0, 0x8ad1732267a406f3ULL},
        {"huge, far edge seen", kHugeEdge, sPie, {100, -955}, {-950, 90}, 0, 0x31f23ecfbc13e5c3ULL},
        {"million", kMillion, sArc, {1000040, 15}, {20, -1000000000}, 0, 0xaadee7d867412b03ULL},
        {"coordinate limit", kAtLimit, sPie, {100, 40}, {-67108816, 70}, 0, 0x46e5c7ed0a45737bULL},
        {"ellipse 50", k50, sEllipse, {}, {}, 0, 0x87f3bf4713c45f8bULL},
        {"ellipse 51, no pen", k51, sEllipse, {}, {}, 1, 0xfd6cdfa6012af93cULL},
        {"ellipse 300x173 xor", kFlat300, sEllipse, {}, {}, 3, 0x455207fd3345a14bULL},
        {"ellipse 1000", k1000, sEllipse, {}, {}, 0, 0x33910cd80d4000c3ULL},
        {"ellipse 999, region", k999, sEllipse, {}, {}, 6, 0x526cf29c300ef08cULL},
        {"ellipse flat", kFlatThin, sEllipse, {}, {}, 0, 0x00a57a4ba041b983ULL},
        {"ellipse huge", kHuge, sEllipse, {}, {}, 2, 0x2c4be3d77316a383ULL},
    };
    for (const TCase &c : cases) {
        const QImage image = Drawn(c.Where.Image, c.Variant, false, [&](TCanvas &canvas) {
            Draw(canvas, c.Shape, c.Where.Box, c.Start, c.End);
        });
        QVERIFY2(Hash(image) == c.Hash, c.Name);
    }
}

void TestCanvasShapes::imageAndPainterAgree_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("variant");
    const char *const names[] = {"arc", "pie", "chord", "ellipse", "round rect"};
    for (int shape = sArc; shape <= sRoundRect; ++shape) {
        for (int variant : {0, 1, 2, 5, 9})
            QTest::addRow("%s v%d", names[shape], variant) << shape << variant;
    }
}

void TestCanvasShapes::imageAndPainterAgree()
{
    // Written into the image, or through a painter open on it: the same pixels, for sizes and
    // sweeps of every kind.
    QFETCH(int, shape);
    QFETCH(int, variant);
    const TRect boxes[] = {{10, 10, 60, 60},   {10, 10, 61, 41}, {3, 4, 233, 190},
                           {-40, -30, 90, 80}, {20, 20, 23, 23}, {20, 5, 21, 45}};
    const QPoint radials[][2] = {{{300, 10}, {10, 300}},
                                 {{10, 30}, {300, 35}},
                                 {{40, 40}, {40, 40}},
                                 {{-2000000000, 5}, {5, 2000000000}},
                                 {{35, 10}, {35, 90}}};
    for (const TRect &box : boxes) {
        for (const auto &r : radials) {
            const QSize corner(box.Width() / 3, box.Height() / 4);
            auto draw = [&](TCanvas &c) { Draw(c, TShape(shape), box, r[0], r[1], corner); };
            QCOMPARE(Drawn(QSize(240, 200), variant, false, draw),
                     Drawn(QSize(240, 200), variant, true, draw));
        }
    }
}

void TestCanvasShapes::roundRectCorners_data()
{
    QTest::addColumn<TRect>("box");
    QTest::addColumn<QSize>("corner");
    QTest::addColumn<bool>("pen");
    QTest::newRow("small corners") << TRect{5, 6, 65, 46} << QSize(9, 7) << true;
    QTest::newRow("odd box, even corners") << TRect{5, 6, 66, 47} << QSize(10, 12) << true;
    QTest::newRow("clear pen") << TRect{5, 6, 65, 46} << QSize(21, 15) << false;
    QTest::newRow("corners as large as the box") << TRect{5, 6, 65, 46} << QSize(60, 40) << true;
    QTest::newRow("corners larger than the box") << TRect{5, 6, 36, 46} << QSize(500, 900) << false;
    QTest::newRow("square corners") << TRect{5, 6, 65, 46} << QSize(0, 0) << true;
    QTest::newRow("flat corner ellipse") << TRect{5, 6, 65, 46} << QSize(30, 1) << true;
}

void TestCanvasShapes::roundRectCorners()
{
    QFETCH(TRect, box);
    QFETCH(QSize, corner);
    QFETCH(bool, pen);
    auto drawn = [&](const std::function<void(TCanvas &)> &draw) {
        return Drawn(QSize(80, 60), pen ? 0 : 1, false, draw);
    };
    const QImage image = drawn([&](TCanvas &c) { Draw(c, sRoundRect, box, {}, {}, corner); });
    const QRgb background = 0xFF336699u;
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
            // Mirror-symmetric both ways.
            if (box.ToQRect().contains(x, y)) {
                const int mx = box.Left + box.Right - 1 - x, my = box.Top + box.Bottom - 1 - y;
                QCOMPARE(image.pixel(x, y), image.pixel(mx, y));
                QCOMPARE(image.pixel(x, y), image.pixel(x, my));
            }
        }
    }
    QCOMPARE(ink, box.ToQRect());
    const QSize limited = corner.boundedTo(QSize(box.Width(), box.Height()));
    // The corner pixel is cut off once the corners are 3 pixels or more; the middle row and
    // column run from side to side.
    QCOMPARE(image.pixel(box.Left, box.Top) == background,
             limited.width() >= 3 && limited.height() >= 3);
    const int midY = (box.Top + box.Bottom) / 2, midX = (box.Left + box.Right) / 2;
    QVERIFY(image.pixel(box.Left, midY) != background &&
            image.pixel(box.Right - 1, midY) != background);
    QVERIFY(image.pixel(midX, box.Top) != background &&
            image.pixel(midX, box.Bottom - 1) != background);
    if (pen)
        QCOMPARE(image.pixel(box.Left, midY), qRgb(0, 0, 0));
    // Corners as large as the box: its ellipse; no corners: its rectangle.
    if (limited == QSize(box.Width(), box.Height()))
        QCOMPARE(image, drawn([&](TCanvas &c) { Draw(c, sEllipse, box, {}, {}); }));
    if (corner.isEmpty() && pen)
        QCOMPARE(image, drawn([&](TCanvas &c) { c.Rectangle(box); }));
}

void TestCanvasShapes::roundRectWidePenAndRecording()
{
    // A wide pen draws the outline as a path: inked inside the box grown by half the pen.
    const QImage wide = Drawn(QSize(80, 60), 7, false, [](TCanvas &c) {
        c.Brush().Style = TCanvas::bsClear;
        c.RoundRect(10, 10, 70, 50, 20, 16);
    });
    QRect ink;
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < wide.width(); ++x)
            if (wide.pixel(x, y) != 0xFF336699u)
                ink |= QRect(x, y, 1, 1);
    QVERIFY(QRect(8, 8, 64, 44).contains(ink) && ink.width() > 56);
    QCOMPARE(wide.pixel(40, 30), 0xFF336699u);  // the inside stays clear
    TRecordingCanvas recording;
    recording.RoundRect(1, 2, 30, 40, 5, 6);
    QCOMPARE(recording.Calls().size(), 1);
    QCOMPARE(recording.Calls()[0].Op, QStringLiteral("RoundRect"));
    QCOMPARE(recording.Calls()[0].Args, (QList<int>{1, 2, 30, 40, 5, 6}));
}

void TestCanvasShapes::linesAndFillsAgree_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("brush");
    for (int style : {TCanvas::psSolid, TCanvas::psDash, TCanvas::psDot, TCanvas::psDashDot,
                      TCanvas::psDashDotDot}) {
        for (int brush : {TCanvas::bsSolid, TCanvas::bsClear})
            QTest::addRow("pen %d brush %d", style, brush) << style << brush;
    }
}

void TestCanvasShapes::linesAndFillsAgree()
{
    // Lines of any style and solid fills, written into the image, set what the painter sets.
    QFETCH(int, style);
    QFETCH(int, brush);
    const QPoint ends[] = {{3, 4}, {117, 95}, {60, 2}, {-40, 50}, {200, -30}, {2000000000, 40}};
    for (int clip = 0; clip < 2; ++clip) {
        for (const QPoint &a : ends) {
            for (const QPoint &b : ends) {
                auto draw = [&](TCanvas &c) {
                    c.Pen().Style = TCanvas::TPenStyle(style);
                    c.Brush().Style = TCanvas::TBrushStyle(brush);
                    if (clip)
                        c.SetClipRect({7, 5, 90, 70});
                    c.MoveTo(a.x(), a.y());
                    c.LineTo(b.x(), b.y());
                    c.LineTo(a.x() + 7, b.y() - 3);
                    c.FillRect({a.x(), a.y(), b.x(), b.y()});
                    c.FrameRect({b.x(), a.y(), a.x(), b.y()});
                    c.FillRegion(QRegion(a.x(), a.y(), 30, 20).united(QRegion(b.x(), 10, 20, 70)));
                };
                QCOMPARE(Drawn(QSize(120, 100), 0, false, draw),
                         Drawn(QSize(120, 100), 0, true, draw));
            }
        }
    }
}

QTEST_MAIN(TestCanvasShapes)
#include "tst_canvasshapes.moc"

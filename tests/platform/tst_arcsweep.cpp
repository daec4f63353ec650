#include <QtMath>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/arcsweep.h"
#include "tests/support/sanitizer.h"

// TArcSweep against the canvas' former decision: the angle of every pixel from atan2, compared
// with the start and sweep angles. Every pixel of each box (a band of rows and columns of the
// large ones) must get the same answer from Contains, AppendRuns and RowAnswer.
class TestArcSweep : public QObject {
    Q_OBJECT

private slots:
    void matchesTheAngles_data();
    void matchesTheAngles();
    void rowsInAnyOrder();
    void wholeWhenTheAnglesAgree();
};

namespace {

// The former per-pixel decision, kept as it was.
qreal OldAngle(const QRectF &box, int x, int y)
{
    const qreal dx = x - box.center().x() + 0.5;
    const qreal dy = box.center().y() - 0.5 - y;
    const qreal a = qMax<qreal>(box.width() / 2, 0.5);
    const qreal b = qMax<qreal>(box.height() / 2, 0.5);
    return qRadiansToDegrees(std::atan2(dy / b, dx / a));
}

struct TOldSweep {
    QRectF Box;
    qreal Start = 0, Sweep = 0;

    TOldSweep(const TRect &r, QPoint s, QPoint e)
        : Box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1)
    {
        Start = OldAngle(Box, s.x(), s.y());
        Sweep = OldAngle(Box, e.x(), e.y()) - Start;
        while (Sweep <= 0)
            Sweep += 360;
        while (Sweep > 360)
            Sweep -= 360;
    }
    bool Contains(int x, int y) const
    {
        qreal a = OldAngle(Box, x, y) - Start;
        while (a < 0)
            a += 360;
        return a <= Sweep;
    }
};

// Rows and columns of the box that are checked: all of a small box, bands through the centre
// and along the edges of a large one. Under AddressSanitizer (a Debug build, every pixel checked
// against the angle formula many times slower) the bands are narrower and start at smaller
// boxes: the same edges and centre, a sixth of the pixels, within the test's time-out.
std::vector<int> Sample(int first, int last)
{
    constexpr int kBanda = KESTROVA_ADDRESS_SANITIZER ? 20 : 60;
    constexpr qint64 kTodas = KESTROVA_ADDRESS_SANITIZER ? 64 : 400;
    std::vector<int> v;
    if (qint64(last) - first < kTodas) {
        for (int i = first; i <= last; ++i)
            v.push_back(i);
        return v;
    }
    const int mid = int((qint64(first) + last) / 2);
    for (int i = 0; i < kBanda; ++i) {
        v.push_back(first + i);
        v.push_back(mid - kBanda / 2 + i);
        v.push_back(last - (kBanda - 1) + i);
    }
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

}  // namespace

void TestArcSweep::matchesTheAngles_data()
{
    QTest::addColumn<TRect>("box");
    QTest::addColumn<QList<QPoint>>("radials");  // every ordered pair is a start and an end

    // Points at the centre, on the axes (quadrant boundaries), on the ellipse every 15 degrees
    // (and a little off), twice and far out, in the same direction at several distances (3:1,
    // -5:-7), and at the ends of the int range.
    auto radials = [](const TRect &r) {
        const qint64 cx = (qint64(r.Left) + r.Right) / 2, cy = (qint64(r.Top) + r.Bottom) / 2;
        const qint64 hw = qMax(1, r.Width() / 2), hh = qMax(1, r.Height() / 2);
        QList<QPoint> p;
        auto add = [&p](qint64 x, qint64 y) {
            p << QPoint(int(std::clamp<qint64>(x, INT_MIN, INT_MAX)),
                        int(std::clamp<qint64>(y, INT_MIN, INT_MAX)));
        };
        add(cx, cy);
        for (qint64 k : {1, 2, 1000}) {
            add(cx + k * hw, cy);
            add(cx, cy - k * hh);
            add(cx - k * hw, cy);
            add(cx, cy + k * hh);
        }
        for (int k = 0; k < 24; k += 2) {
            const double a = k * M_PI / 12 + (k % 4 ? 0.013 : 0);
            add(cx + qint64(std::lround(hw * std::cos(a))),
                cy - qint64(std::lround(hh * std::sin(a))));
        }
        for (int k : {1, 3}) {
            add(cx + 3 * k, cy - k);
            add(cx - 5 * k, cy - 7 * k);
        }
        add(cx + 1, cy + 1);
        add(INT_MAX, INT_MIN);
        add(INT_MIN, cy);
        return p;
    };
    const QList<TRect> boxes = {
        {0, 0, 41, 41},
        {10, 10, 60, 60},
        {10, 10, 59, 59},
        {10, 10, 61, 41},
        {5, 5, 306, 306},
        {5, 5, 305, 178},
        {3, 3, 1003, 1003},
        {20, 20, 21, 21},
        {20, 5, 21, 45},
        {5, 20, 45, 22},
        {20, 20, 23, 23},
        {-20, -20, 30, 31},
        {-2000, -2000, 100, 90},
        {-1000000, -1000000, 1000040, 1000030},
        {-(1 << 27), -(1 << 27), 1 << 27, 1 << 27},
        {-(1 << 27), 0, 1 << 27, 7},
    };
    for (const TRect &b : boxes) {
        QTest::addRow("%d,%d,%d,%d", b.Left, b.Top, b.Right, b.Bottom) << b << radials(b);
    }
}

void TestArcSweep::matchesTheAngles()
{
    QFETCH(TRect, box);
    QFETCH(QList<QPoint>, radials);
    const std::vector<int> rows = Sample(box.Top, box.Bottom - 1);
    const std::vector<int> columns = Sample(box.Left, box.Right - 1);
    std::vector<TArcSweep::TRun> runs;
    int pairs = 0;
    for (qsizetype i = 0; i < radials.size(); ++i) {
        for (qsizetype j = 0; j < radials.size(); ++j) {
            // A third of the pairs of a large box (of every box under the sanitizer), all of a
            // small one.
            if ((columns.size() > 60 || KESTROVA_ADDRESS_SANITIZER) && (i * 7 + j) % 3 != 0)
                continue;
            ++pairs;
            const QPoint s = radials[i], e = radials[j];
            const TOldSweep old(box, s, e);
            TArcSweep sweep(box, s, e);
            QCOMPARE(sweep.Start(), old.Start);
            QCOMPARE(sweep.Sweep(), old.Sweep);
            if (old.Sweep >= 360)
                continue;
            for (int y : rows) {
                std::vector<char> expected;
                for (int x : columns) {
                    expected.push_back(old.Contains(x, y));
                    if (sweep.Contains(x, y) != bool(expected.back()))
                        QFAIL(qPrintable(QStringLiteral("Contains(%1, %2), start %3,%4 end %5,%6")
                                             .arg(x)
                                             .arg(y)
                                             .arg(s.x())
                                             .arg(s.y())
                                             .arg(e.x())
                                             .arg(e.y())));
                }
                // Runs of the checked columns' blocks (a whole small row, three bands of a
                // large one), and the answer of each block's stretches of 1 to 4 pixels.
                size_t k = 0;
                while (k < columns.size()) {
                    size_t end = k;
                    while (end + 1 < columns.size() && columns[end + 1] == columns[end] + 1)
                        ++end;
                    runs.clear();
                    sweep.AppendRuns(y, columns[k], columns[end], runs);
                    std::vector<char> got(end - k + 1, 0);
                    int previous = INT_MIN;
                    for (const TArcSweep::TRun &run : runs) {
                        QVERIFY(run.From <= run.To && run.From > previous + 1);
                        previous = run.To;
                        for (int x = run.From; x <= run.To; ++x)
                            got[size_t(x - columns[k])] = 1;
                    }
                    for (size_t c = k; c <= end; ++c)
                        QCOMPARE(bool(got[c - k]), bool(expected[c]));
                    for (size_t c = k; c <= end; c += 3) {
                        const size_t last = qMin(end, c + c % 4);
                        const int answer = sweep.RowAnswer(y, columns[c], columns[last]);
                        for (size_t d = c; answer >= 0 && d <= last; ++d)
                            QCOMPARE(answer == 1, bool(expected[d]));
                    }
                    k = end + 1;
                }
            }
        }
    }
    QVERIFY(pairs > 50);
}

void TestArcSweep::rowsInAnyOrder()
{
    // The crossings carried from row to row give the same runs as rows taken alone.
    const TRect box{3, 3, 304, 180};
    const QPoint s(250, 7), e(40, 170);
    TArcSweep downwards(box, s, e), scattered(box, s, e);
    const TOldSweep old(box, s, e);
    std::vector<TArcSweep::TRun> a, b;
    for (int y = box.Top; y < box.Bottom; ++y) {
        a.clear();
        b.clear();
        downwards.AppendRuns(y, box.Left, box.Right - 1, a);
        const int jump = box.Bottom - 1 - (y - box.Top);  // bottom up, alternating with the other
        scattered.AppendRuns(jump, box.Left, box.Right - 1, b);
        scattered.AppendRuns(y, box.Left, box.Right - 1, b);
        std::vector<TArcSweep::TRun> own(b.begin() + qsizetype(b.size() - a.size()), b.end());
        QCOMPARE(own, a);
        for (int x = box.Left; x < box.Right; ++x) {
            const bool in = std::any_of(a.begin(), a.end(), [x](const TArcSweep::TRun &r) {
                return x >= r.From && x <= r.To;
            });
            QCOMPARE(in, old.Contains(x, y));
        }
    }
}

void TestArcSweep::wholeWhenTheAnglesAgree()
{
    struct TCase {
        QPoint Start, End;
        bool Whole;
    };
    // Circle box (0, 0, 41, 41), centre (20, 20).
    const TCase cases[] = {
        {{40, 20}, {40, 20}, true},          // the same point
        {{30, 20}, {2000000000, 20}, true},  // the same axis, any distance
        {{23, 19}, {26, 18}, true},          // 3:1 and 6:2, exactly proportional
        {{20, 20}, {40, 20}, true},          // the centre is at angle 0
        {{40, 20}, {20, 0}, false},         {{20, 0}, {40, 20}, false},
    };
    for (const TCase &c : cases) {
        const TArcSweep sweep(TRect{0, 0, 41, 41}, c.Start, c.End);
        QCOMPARE(sweep.Whole(), c.Whole);
        QCOMPARE(sweep.Whole(), TOldSweep(TRect{0, 0, 41, 41}, c.Start, c.End).Sweep >= 360);
    }
}

QTEST_APPLESS_MAIN(TestArcSweep)
#include "tst_arcsweep.moc"

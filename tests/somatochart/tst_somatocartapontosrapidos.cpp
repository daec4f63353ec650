#include <QImage>
#include <QTest>

#include "platform/numbertext.h"
#include "somatochart/somatocartapontosrapidos.h"

// Coordinate texts put together from kept glyphs must give the pixels of the text laid out whole.
class TstSomatocartaPontosRapidos : public QObject {
    Q_OBJECT

private slots:
    void composedTextMatchesWholeText_data();
    void composedTextMatchesWholeText();
};

void TstSomatocartaPontosRapidos::composedTextMatchesWholeText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::newRow("Arial 8 at 96 ppi") << "Arial" << 8 << 96 << false << false << false;
    QTest::newRow("Arial 7 at 143 ppi, bold") << "Arial" << 7 << 143 << true << false << false;
    QTest::newRow("Times 11 italic") << "Times New Roman" << 11 << 96 << false << true << false;
    QTest::newRow("Courier 9 at 120 ppi") << "Courier New" << 9 << 120 << false << false << false;
    QTest::newRow("Arial 14 underlined") << "Arial" << 14 << 96 << false << false << true;
}

void TstSomatocartaPontosRapidos::composedTextMatchesWholeText()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, ppi);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    TCanvas::TFont font;
    font.Name = name;
    font.SetSize(size);
    font.Bold = bold;
    font.Italic = italic;
    font.Underline = underline;
    TSomatocartaPontosRapidos rapido(font, ppi);
    // Coordinates as ratings give them, then extremes and texts outside the glyph alphabet.
    QStringList texts;
    for (int x = -70; x <= 70; x += 3)
        for (int y = -70; y <= 130; y += 11)
            texts << u'(' + TNumberText::General(x / 10.0) + QLatin1String("; ") +
                         TNumberText::General(y / 10.0) + u')';
    texts << "(1e+20; -0)"
          << "(-1.23456789012345e-300; 7)"
          << "Ana (ação)"
          << " "
          << "11111";
    QImage composed(160, 60, QImage::Format_RGB32), whole(composed.size(), QImage::Format_RGB32);
    int differing = 0;
    for (const QString &text : std::as_const(texts)) {
        composed.fill(Qt::white);
        whole.fill(Qt::white);
        rapido.Texto(composed, 80, 20, text);
        rapido.TextoInteiro(whole, 80, 20, text);
        if (composed != whole && ++differing <= 3)
            qWarning("differs: %s", qPrintable(text));
    }
    QCOMPARE(differing, 0);
    QCOMPARE(rapido.TextosGuardados(), int(texts.size()));
}

QTEST_MAIN(TstSomatocartaPontosRapidos)
#include "tst_somatocartapontosrapidos.moc"

#include <QImage>
#include <QTest>

#include "chart/vtxgraph.h"
#include "session/graficocardiaco.h"
#include "session/graficosessao.h"

namespace {

// 1 Hz samples from 0 to `segundos`, without a rate from `lacunaDe` until `lacunaAte`.
QList<TAmostraRegistro> Amostras(int segundos, int bpm, int lacunaDe = -1, int lacunaAte = -1)
{
    QList<TAmostraRegistro> amostras(std::max(segundos + 1, 0));
    for (int t = 0; t <= segundos; ++t) {
        amostras[t].tempoMs = t * 1000LL;
        amostras[t].frequenciaCardiaca = t >= lacunaDe && t < lacunaAte ? 0 : bpm;
    }
    return amostras;
}

TEventoRegistro Evento(qint64 t, const char *tipo, double valor = 0)
{
    TEventoRegistro e;
    e.tempoMs = t;
    e.tipo = QString::fromLatin1(tipo);
    e.valor1 = valor;
    return e;
}

}  // namespace

class TstGraficoCardiaco : public QObject {
    Q_OBJECT

private slots:
    // A second without a rate breaks the curve: no line across the gap, the curve on both sides.
    void lacunaInterrompeCurva()
    {
        TvtxGraph grafico;
        TGraficoCardiaco(grafico).Redesenhar(Amostras(600, 120, 200, 300), {});
        grafico.Paint();
        const QImage imagem = grafico.Image();
        auto curva = [&](double segundo) {
            const int x = grafico.RealX2Canvas(float(segundo / 60));
            for (int y = grafico.Yend(); y <= grafico.Yorigin(); ++y)
                if (const QRgb c = imagem.pixel(x, y); qRed(c) > 200 && qGreen(c) < 60)
                    return true;
            return false;
        };
        QVERIFY(curva(100) && curva(198.5) && curva(301.5) && curva(500));
        for (double s = 200.5; s < 299; s += 2)
            QVERIFY2(!curva(s), qPrintable(QString::number(s)));
    }

    // The belt chart's time axis, sized by the last sample or event.
    void mesmoEixoDeTempo_data()
    {
        QTest::addColumn<int>("segundos");
        QTest::addColumn<qint64>("eventoMs");
        QTest::addColumn<double>("minutos");
        QTest::newRow("dentro dos 10 min") << 599 << qint64(0) << 10.0;
        QTest::newRow("evento depois das amostras") << 300 << qint64(61 * 60000) << 90.0;
        QTest::newRow("depois do último passo") << 500 * 60 << qint64(0) << 960.0;
    }
    void mesmoEixoDeTempo()
    {
        QFETCH(int, segundos);
        QFETCH(qint64, eventoMs);
        const QList<TAmostraRegistro> amostras = Amostras(segundos, 100);
        TvtxGraph esteira, cardiaco;
        TGraficoSessao desenhoEsteira(esteira);
        TGraficoCardiaco desenhoCardiaco(cardiaco);
        desenhoEsteira.Redesenhar(amostras, {Evento(eventoMs, "pa", 130)});
        desenhoCardiaco.Redesenhar(amostras, {Evento(eventoMs, "pa", 130)});
        QTEST(desenhoCardiaco.MinutosNoEixo(), "minutos");
        QCOMPARE(desenhoEsteira.MinutosNoEixo(), desenhoCardiaco.MinutosNoEixo());
    }

    // The bpm axis starts at 40-200 and widens to hold a rate beyond it, measured or typed.
    void eixoDeFcCresce_data()
    {
        QTest::addColumn<int>("medida");
        QTest::addColumn<double>("anotada");
        QTest::newRow("nos limites") << 200 << 40.0;
        QTest::newRow("medida acima") << 201 << 100.0;
        QTest::newRow("anotada abaixo") << 100 << 30.0;
    }
    void eixoDeFcCresce()
    {
        QFETCH(int, medida);
        QFETCH(double, anotada);
        TvtxGraph grafico;
        TGraficoCardiaco desenho(grafico);
        desenho.Preparar();
        desenho.Amostra(Amostras(0, medida).at(0));
        desenho.Evento(Evento(1000, "fc", anotada));
        const double baixo = grafico.YAxis()->OriginValue();
        const double alto = baixo + grafico.YAxis()->ScalePerDivision() * 8;
        QVERIFY(baixo <= std::min<double>(medida, anotada) &&
                alto >= std::max(anotada, 1.0 * medida));
        QCOMPARE(baixo == 40 && alto == 200, medida <= 200 && anotada >= 40);
    }

    // Live, each second adds one line command to the store; after another drawing (a stage
    // line) the curve's pen is set again once.
    void segundoAoVivoUmSegmento()
    {
        TvtxGraph referencia;
        const qsizetype vazio = referencia.Store().size();
        referencia.LineScaledTo(1, 100);
        const qsizetype linha = referencia.Store().size() - vazio;
        TvtxGraph grafico;
        TGraficoCardiaco desenho(grafico);
        desenho.Preparar();
        for (const TAmostraRegistro &a : Amostras(60, 110)) {
            if (a.tempoMs == 30000)
                desenho.Evento(Evento(a.tempoMs, "estagio"));
            const qsizetype antes = grafico.Store().size();
            desenho.Amostra(a);
            if (a.tempoMs >= 2000)
                QCOMPARE(grafico.Store().size() - antes == linha, a.tempoMs != 30000);
        }
    }
};

QTEST_MAIN(TstGraficoCardiaco)
#include "tst_graficocardiaco.moc"

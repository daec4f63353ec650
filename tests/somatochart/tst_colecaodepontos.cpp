#include <QTest>

#include <limits>

#include "platform/exception.h"
#include "somatochart/colecaodepontos.h"

namespace {

// Counts the firings of the three slots and checks the sender.
struct TContador {
    int Acrescentados = 0, Editados = 0, Excluidos = 0;
    QObject *UltimoSender = nullptr;

    void Ligar(TColecaoDePontos &c)
    {
        c.OnPontoAcrescentado = [this](QObject *s) { ++Acrescentados, UltimoSender = s; };
        c.OnPontoEditado = [this](QObject *s) { ++Editados, UltimoSender = s; };
        c.OnPontoExcluido = [this](QObject *s) { ++Excluidos, UltimoSender = s; };
    }
    int Total() const { return Acrescentados + Editados + Excluidos; }
};

}  // namespace

class TstColecaoDePontos : public QObject {
    Q_OBJECT

private slots:
    void acrescentarSetsFieldsAndFires();
    void addAndClearDoNotNotify();
    void editarSentinels_data();
    void editarSentinels();
    void outOfRangeIndexesFireNothing_data();
    void outOfRangeIndexesFireNothing();
    void excluirOnlyPointFiresOnce();
    void excluirMovesLaterItemsUpKeepingReferences();
    void emptySlotsAreSkipped();
};

void TstColecaoDePontos::acrescentarSetsFieldsAndFires()
{
    TColecaoDePontos c;
    TContador n;
    n.Ligar(c);
    c.AcrescentarPonto(1.5, -2.25, clRed, 1, 7, QStringLiteral("Atleta"));
    QCOMPARE(n.Acrescentados, 1);
    QCOMPARE(n.Total(), 1);
    QCOMPARE(n.UltimoSender, &c);
    QCOMPARE(c.Count(), 1);
    const TPonto &p = c.Items(0);
    QCOMPARE(p.X, 1.5);
    QCOMPARE(p.Y, -2.25);
    QCOMPARE(quint32(p.Cor), quint32(clRed));
    QCOMPARE(p.Forma, 1);
    QCOMPARE(p.Tamanho, 7);
    QCOMPARE(p.Descricao, QStringLiteral("Atleta"));
}

void TstColecaoDePontos::addAndClearDoNotNotify()
{
    TColecaoDePontos c;
    TContador n;
    n.Ligar(c);
    TPonto &p = c.Add();
    QCOMPARE(p.X, 0.0);
    QCOMPARE(quint32(p.Cor), 0u);
    QVERIFY(p.Descricao.isEmpty());
    c.Add();
    QCOMPARE(c.Count(), 2);
    c.Clear();
    QCOMPARE(c.Count(), 0);
    QCOMPARE(n.Total(), 0);
}

void TstColecaoDePontos::editarSentinels_data()
{
    QTest::addColumn<quint32>("cor");
    QTest::addColumn<int>("forma");
    QTest::addColumn<int>("tamanho");
    QTest::addColumn<QString>("descricao");
    QTest::addColumn<quint32>("corEsperada");
    QTest::addColumn<int>("formaEsperada");
    QTest::addColumn<int>("tamanhoEsperado");
    QTest::addColumn<QString>("descricaoEsperada");
    const quint32 keep = TColecaoDePontos::kCorInalterada;
    QTest::newRow("all kept") << keep << -1 << -1 << "0" << quint32(clRed) << 1 << 7 << "velho";
    QTest::newRow("all set") << quint32(clBlue) << 0 << 3 << "novo" << quint32(clBlue) << 0 << 3
                             << "novo";
    QTest::newRow("empty text clears") << keep << -1 << -1 << "" << quint32(clRed) << 1 << 7 << "";
    QTest::newRow("zero colour applies") << 0u << 2 << 0 << "00" << 0u << 2 << 0 << "00";
    QTest::newRow("-2 applies") << keep << -2 << -2 << " 0" << quint32(clRed) << -2 << -2 << " 0";
}

void TstColecaoDePontos::editarSentinels()
{
    QFETCH(quint32, cor);
    QFETCH(int, forma);
    QFETCH(int, tamanho);
    QFETCH(QString, descricao);
    TColecaoDePontos c;
    c.AcrescentarPonto(1, 2, clRed, 1, 7, QStringLiteral("velho"));
    TContador n;
    n.Ligar(c);
    c.EditarPonto(0, -3, 4.5, cor, forma, tamanho, descricao);
    QCOMPARE(n.Editados, 1);
    QCOMPARE(n.Total(), 1);
    const TPonto &p = c.Items(0);
    QCOMPARE(p.X, -3.0);
    QCOMPARE(p.Y, 4.5);
    QTEST(quint32(p.Cor), "corEsperada");
    QTEST(p.Forma, "formaEsperada");
    QTEST(p.Tamanho, "tamanhoEsperado");
    QTEST(p.Descricao, "descricaoEsperada");

    // The defaults of the declaration are the sentinels.
    c.EditarPonto(0, 9, 8);
    QCOMPARE(c.Items(0).X, 9.0);
    QTEST(quint32(c.Items(0).Cor), "corEsperada");
    QTEST(c.Items(0).Descricao, "descricaoEsperada");
}

void TstColecaoDePontos::outOfRangeIndexesFireNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("count") << 2;
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min();
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max();
}

void TstColecaoDePontos::outOfRangeIndexesFireNothing()
{
    QFETCH(int, index);
    TColecaoDePontos c;
    c.AcrescentarPonto(1, 2, clRed, 0, 5, QStringLiteral("a"));
    c.AcrescentarPonto(3, 4, clBlue, 1, 6, QStringLiteral("b"));
    TContador n;
    n.Ligar(c);
    c.EditarPonto(index, 9, 9, clGreen, 1, 1, QStringLiteral("x"));
    c.ExcluirPonto(index);
    QCOMPARE(n.Total(), 0);
    QCOMPARE(c.Count(), 2);
    QCOMPARE(c.Items(0).X, 1.0);
    QCOMPARE(c.Items(1).Descricao, QStringLiteral("b"));
    QVERIFY_THROWS_EXCEPTION(Exception, c.Items(index));
}

void TstColecaoDePontos::excluirOnlyPointFiresOnce()
{
    TColecaoDePontos c;
    c.AcrescentarPonto(1, 2, clRed, 0, 5, QString());
    TContador n;
    n.Ligar(c);
    c.ExcluirPonto(0);
    QCOMPARE(c.Count(), 0);
    QCOMPARE(n.Excluidos, 1);
    QCOMPARE(n.Total(), 1);
    QCOMPARE(n.UltimoSender, &c);
    c.ExcluirPonto(0);
    QCOMPARE(n.Total(), 1);
}

void TstColecaoDePontos::excluirMovesLaterItemsUpKeepingReferences()
{
    TColecaoDePontos c;
    for (int i = 0; i < 4; ++i)
        c.AcrescentarPonto(i, 0, clBlack, 0, 0, QString::number(i));
    TPonto &ultimo = c.Items(3);
    c.ExcluirPonto(1);
    QCOMPARE(c.Count(), 3);
    QCOMPARE(c.Items(1).Descricao, QStringLiteral("2"));
    QCOMPARE(&c.Items(2), &ultimo);
    for (int i = 0; i < 100; ++i)
        c.Add();
    ultimo.Descricao = QStringLiteral("ainda aqui");
    QCOMPARE(c.Items(2).Descricao, QStringLiteral("ainda aqui"));
}

void TstColecaoDePontos::emptySlotsAreSkipped()
{
    TColecaoDePontos c;
    c.AcrescentarPonto(1, 1, clBlack, 0, 0, QString());
    c.EditarPonto(0, 2, 2);
    c.ExcluirPonto(0);
    QCOMPARE(c.Count(), 0);
}

QTEST_GUILESS_MAIN(TstColecaoDePontos)
#include "tst_colecaodepontos.moc"

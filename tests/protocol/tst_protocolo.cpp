#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "protocol/arquivoprotocolo.h"
#include "protocol/bibliotecaprotocolos.h"
#include "protocol/faixaesteira.h"
#include "protocol/geradorrampa.h"
#include "protocol/planoexecucao.h"

// The protocol model: built-ins, the time line, ramp quantisation, fitting to the board, the
// ramp generator and the user's files.
class TestProtocolo : public QObject {
    Q_OBJECT

private slots:
    void builtIns_data();
    void builtIns();
    void timeLineNumbersStagesThroughThePhases();
    void rampStepsOneQuantumInEqualSlices_data();
    void rampStepsOneQuantumInEqualSlices();
    void fittingReportsWhatTheBoardCannotTake_data();
    void fittingReportsWhatTheBoardCannotTake();
    void rampGenerator_data();
    void rampGenerator();
    void badFilesAreRefusedNamingFileAndProblem_data();
    void badFilesAreRefusedNamingFileAndProblem();
    void fileRoundTripAndImport();
};

namespace {

QByteArray Arquivo(const QByteArray &exercicio, const QByteArray &extra = {})
{
    return R"({"formato": "kestrova-protocolo", "versao": 1, "nome": "Teste", )" + extra +
           R"("exercicio": )" + exercicio + "}";
}

void Gravar(const QString &caminho, const QByteArray &conteudo)
{
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

}  // namespace

void TestProtocolo::builtIns_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("estagios");
    QTest::addColumn<double>("primeiraVelocidade");
    QTest::addColumn<double>("ultimaInclinacao");
    QTest::addColumn<qint64>("exercicioMs");
    QTest::newRow("bruce") << "bruce" << 8 << 2.7 << 24.0 << qint64(24 * 60000);
    QTest::newRow("modified bruce")
        << "bruce-modificado" << 10 << 2.7 << 24.0 << qint64(30 * 60000);
    QTest::newRow("balke-ware") << "balke-ware" << 25 << 5.3 << 25.0 << qint64(25 * 60000);
    QTest::newRow("usafsam") << "usafsam" << 6 << 5.3 << 25.0 << qint64(18 * 60000);
}

void TestProtocolo::builtIns()
{
    QFETCH(QString, id);
    QFETCH(int, estagios);
    QFETCH(double, primeiraVelocidade);
    QFETCH(double, ultimaInclinacao);
    QFETCH(qint64, exercicioMs);
    QTemporaryDir vazia;
    const auto p = TBibliotecaProtocolos(vazia.path()).Procurar(id);
    QVERIFY(p);
    QVERIFY(p->embutido);
    QVERIFY(!p->fonte.isEmpty());
    QCOMPARE(p->exercicio.size(), estagios);
    QCOMPARE(p->exercicio.first().velocidadeInicial, primeiraVelocidade);
    QCOMPARE(p->exercicio.last().inclinacaoFinal, ultimaInclinacao);
    QCOMPARE(p->DuracaoTotalMs(), exercicioMs + 3 * 60000);  // default recovery
    QVERIFY(TFaixaEsteira::Limitacoes(*p).isEmpty());
}

void TestProtocolo::timeLineNumbersStagesThroughThePhases()
{
    TProtocolo p;
    p.aquecimento = {TPasso::Estagio(1000, 2, 0)};
    p.exercicio = {TPasso::Estagio(2000, 3, 1), TPasso::Estagio(3000, 4, 2)};
    p.TrocarRecuperacao(4000, 2.5, 0);
    const TPlanoExecucao plano(p);
    QCOMPARE(plano.Etapas().size(), 4);
    QCOMPARE(plano.Etapas()[2].estagio, 3);
    QCOMPARE(plano.Etapas()[2].inicioMs, 3000);
    QCOMPARE(plano.Etapas()[3].fase, TFase::Recuperacao);
    QCOMPARE(plano.IndiceEm(2999), 1);
    QCOMPARE(plano.IndiceEm(3000), 2);
    QCOMPARE(plano.ProximaMudanca(1000), 3000);
    QCOMPARE(plano.ProximaMudanca(10000), std::nullopt);
    QCOMPARE(plano.PrimeiroDaFase(TFase::Recuperacao), 3);
}

void TestProtocolo::rampStepsOneQuantumInEqualSlices_data()
{
    QTest::addColumn<double>("de");
    QTest::addColumn<double>("ate");
    QTest::addColumn<double>("quantum");
    QTest::addColumn<qint64>("duracao");
    QTest::newRow("speed up") << 3.0 << 8.0 << 0.1 << qint64(600000);
    QTest::newRow("grade up, uneven") << 0.0 << 12.5 << 0.5 << qint64(590003);
    QTest::newRow("speed down") << 6.0 << 2.5 << 0.1 << qint64(180000);
}

void TestProtocolo::rampStepsOneQuantumInEqualSlices()
{
    QFETCH(double, de);
    QFETCH(double, ate);
    QFETCH(double, quantum);
    QFETCH(qint64, duracao);
    const qint64 n = std::llround(std::abs(ate - de) / quantum);
    double anterior = TPlanoExecucao::ValorRampa(de, ate, quantum, 0, duracao);
    QCOMPARE(anterior, de);
    QList<qint64> mudancas;
    for (qint64 t = 1; t <= duracao; ++t) {
        const double v = TPlanoExecucao::ValorRampa(de, ate, quantum, t, duracao);
        if (v == anterior)
            continue;
        QVERIFY2(std::abs(std::abs(v - anterior) - quantum) < 1e-9, "a step was skipped");
        mudancas << t;
        anterior = v;
    }
    QCOMPARE(anterior, ate);
    QCOMPARE(mudancas.size(), n);
    for (qsizetype k = 0; k < mudancas.size(); ++k)  // step k+1 at the first ms >= (k+1)d/(n+1)
        QCOMPARE(mudancas[k], ((k + 1) * duracao + n) / (n + 1));
}

void TestProtocolo::fittingReportsWhatTheBoardCannotTake_data()
{
    QTest::addColumn<TPasso>("passo");
    QTest::addColumn<int>("linhas");
    QTest::newRow("fits") << TPasso::Estagio(1000, 18.0, 25.0) << 0;
    QTest::newRow("stopped stage fits") << TPasso::Estagio(1000, 0.0, 0.0) << 0;
    QTest::newRow("slow") << TPasso::Estagio(1000, 1.4, 0.0) << 1;
    QTest::newRow("fast and steep") << TPasso::Estagio(1000, 18.1, 25.5) << 2;
    QTest::newRow("ramp within the range") << TPasso::Rampa(1000, 1.5, 0, 6, 10) << 0;
    QTest::newRow("ramp from a stop passes below 1.5") << TPasso::Rampa(1000, 0, 0, 3, 0) << 1;
    QTest::newRow("ramp down to a stop") << TPasso::Rampa(1000, 3, 0, 0, 0) << 1;
    QTest::newRow("ramp ending below 1.5: listed once") << TPasso::Rampa(1000, 0, 0, 1, 0) << 1;
    QTest::newRow("ramp of stops") << TPasso::Rampa(1000, 0, 0, 0, 5) << 0;
}

void TestProtocolo::fittingReportsWhatTheBoardCannotTake()
{
    QFETCH(TPasso, passo);
    QFETCH(int, linhas);
    TProtocolo p;
    p.exercicio = {passo};
    QCOMPARE(TFaixaEsteira::Limitacoes(p).size(), linhas);
}

void TestProtocolo::rampGenerator_data()
{
    QTest::addColumn<TParametrosRampa>("parametros");
    QTest::addColumn<bool>("aceito");
    QTest::newRow("default 10 min") << TParametrosRampa{3, 0, 8, 12} << true;
    QTest::newRow("8 min") << TParametrosRampa{3, 0, 8, 12, 8 * 60000} << true;
    QTest::newRow("12 min") << TParametrosRampa{3, 0, 8, 12, 12 * 60000} << true;
    QTest::newRow("under 8 min") << TParametrosRampa{3, 0, 8, 12, 8 * 60000 - 1} << false;
    QTest::newRow("over 12 min") << TParametrosRampa{3, 0, 8, 12, 12 * 60000 + 1} << false;
    QTest::newRow("peak below start") << TParametrosRampa{8, 0, 3, 12} << false;
    QTest::newRow("too fast") << TParametrosRampa{3, 0, 18.5, 12} << false;
    QTest::newRow("too steep") << TParametrosRampa{3, 0, 8, 26} << false;
    QTest::newRow("not a number") << TParametrosRampa{3, 0, NAN, 12} << false;
}

void TestProtocolo::rampGenerator()
{
    QFETCH(TParametrosRampa, parametros);
    QFETCH(bool, aceito);
    QString erro;
    const TProtocolo p = TGeradorRampa::Gerar(parametros, &erro);
    QCOMPARE(erro.isEmpty(), aceito);
    QCOMPARE(p.exercicio.isEmpty(), !aceito);
    if (!aceito)
        return;
    QCOMPARE(p.exercicio.first().tipo, TPasso::TTipo::Rampa);
    QCOMPARE(p.exercicio.first().duracaoMs, parametros.duracaoMs);
    QCOMPARE(p.exercicio.first().velocidadeFinal, parametros.velocidadePico);
    QVERIFY(!p.recuperacao.isEmpty());
}

void TestProtocolo::badFilesAreRefusedNamingFileAndProblem_data()
{
    const QByteArray estagio = R"([{"tipo": "estagio", "duracao_s": 60, "velocidade": 3, )"
                               R"("inclinacao": 0}])";
    QTest::addColumn<QByteArray>("conteudo");
    QTest::addColumn<QString>("problema");
    QTest::newRow("bad json") << QByteArray("{\"versao\": 1,") << "JSON inválido";
    QTest::newRow("unknown version")
        << Arquivo(estagio).replace("\"versao\": 1", "\"versao\": 2") << "versão 2 desconhecida";
    QTest::newRow("missing duration")
        << Arquivo(R"([{"tipo": "estagio", "velocidade": 3, "inclinacao": 0}])")
        << "exercicio, passo 1: \"duracao_s\" ausente";
    QTest::newRow("negative duration")
        << Arquivo(QByteArray(estagio).replace("60", "-1")) << "\"duracao_s\" = -1";
    QTest::newRow("speed out of range")
        << Arquivo(QByteArray(estagio).replace("\"velocidade\": 3", "\"velocidade\": 30"))
        << "\"velocidade\" = 30 km/h fora da faixa";
    QTest::newRow("negative grade")
        << Arquivo(QByteArray(estagio).replace("\"inclinacao\": 0", "\"inclinacao\": -2"))
        << "\"inclinacao\" = -2 % fora da faixa";
    QTest::newRow("empty exercise") << Arquivo("[]") << "\"exercicio\" está vazia";
    // A fraction of a millisecond was kept as a step of 0 ms that never runs.
    QTest::newRow("duration rounding to 0 ms")
        << Arquivo(QByteArray(estagio).replace("60", "0.0004")) << "\"duracao_s\" = 0.0004 deve";
    // The first problem in the file's order, whatever order the compiler evaluates in.
    QTest::newRow("first of two bad values")
        << Arquivo(R"([{"tipo": "rampa", "duracao_s": 60, "velocidade_inicial": 30,
                       "inclinacao_inicial": 0, "velocidade_final": 3, "inclinacao_final": 50}])")
        << "exercicio, passo 1: \"velocidade_inicial\" = 30 km/h";
    QTest::newRow("second step bad")
        << Arquivo(R"([{"tipo": "estagio", "duracao_s": 60, "velocidade": 3, "inclinacao": 0},
                       {"tipo": "salto", "duracao_s": 60}])")
        << "exercicio, passo 2: \"tipo\"";
}

void TestProtocolo::badFilesAreRefusedNamingFileAndProblem()
{
    QFETCH(QByteArray, conteudo);
    QFETCH(QString, problema);
    QTemporaryDir pasta;
    const QString bom = pasta.filePath("bom.json");
    const QString ruim = pasta.filePath("ruim.json");
    Gravar(bom, Arquivo(R"([{"tipo": "rampa", "duracao_s": 600, "velocidade_inicial": 3,
        "inclinacao_inicial": 0, "velocidade_final": 8, "inclinacao_final": 12}])"));
    Gravar(ruim, conteudo);
    QString erro;
    QVERIFY(!TBibliotecaProtocolos::LerArquivo(ruim, &erro));
    QVERIFY2(erro.startsWith(ruim + ": ") && erro.contains(problema), qPrintable(erro));

    // The library keeps the good file and the built-ins, and lists the refused one.
    const TBibliotecaProtocolos biblioteca(pasta.path());
    QCOMPARE(biblioteca.Erros(), QStringList{erro});
    QVERIFY(biblioteca.Procurar("bom"));
    QCOMPARE(biblioteca.Protocolos().size(), TBibliotecaProtocolos::Embutidos().size() + 1);
}

void TestProtocolo::fileRoundTripAndImport()
{
    TProtocolo p = TGeradorRampa::Gerar({3, 0, 8, 12}, nullptr);
    p.aquecimento = {TPasso::Estagio(120000, 2.5, 0)};
    QTemporaryDir fora, usuario;
    const QString caminho = fora.filePath("Minha-Rampa.json");
    Gravar(caminho, TArquivoProtocolo::Escrever(p));

    TBibliotecaProtocolos biblioteca(usuario.path());
    QString erro;
    QVERIFY2(biblioteca.Importar(caminho, &erro), qPrintable(erro));
    const auto lido = biblioteca.Procurar("minha-rampa");
    QVERIFY(lido);
    QVERIFY(!lido->embutido);
    QCOMPARE(lido->nome, p.nome);
    QCOMPARE(lido->Etapas().size(), p.Etapas().size());
    QCOMPARE(lido->exercicio.first().inclinacaoFinal, 12.0);
    QCOMPARE(lido->DuracaoTotalMs(), p.DuracaoTotalMs());

    // A built-in's name cannot be taken by a user file.
    const QString bruce = fora.filePath("bruce.json");
    Gravar(bruce, TArquivoProtocolo::Escrever(p));
    QVERIFY(!biblioteca.Importar(bruce, &erro));
    QVERIFY2(erro.contains("embutido"), qPrintable(erro));
    QVERIFY(biblioteca.Procurar("minha-rampa"));
}

QTEST_GUILESS_MAIN(TestProtocolo)
#include "tst_protocolo.moc"

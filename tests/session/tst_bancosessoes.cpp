#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "session/bancosessoes.h"
#include "session/conexaobanco.h"
#include "session/dialetobanco.h"
#include "session/gravadorsessao.h"
#include "tests/support/servidorpostgres.h"

namespace {

TSessao NovaSessao(TBancoSessoes &banco)
{
    QString erro;
    TPaciente p;
    p.nome = QStringLiteral("Ana");
    TSessao s;
    s.pacienteId = banco.InserirPaciente(p, &erro);
    s.protocoloNome = QStringLiteral("Bruce");
    s.inicio = QDateTime::currentDateTimeUtc();
    s.id = banco.IniciarSessao(s, &erro);
    return s;
}

TAmostraRegistro Amostra(qint64 t, int estagio)
{
    TAmostraRegistro a;
    a.tempoMs = t;
    a.fase = 1;
    a.estagio = estagio;
    a.velocidadeAlvo = a.velocidadeConfirmada = 2.7 + estagio;
    return a;
}

// Rows of a table seen through a connection of its own, as another program would see them.
int Linhas(const QString &endereco, const QString &tabela)
{
    int n = -1;
    QString erro;
    if (AbrirConexao(*TEnderecoBanco::Ler(endereco, &erro), "leitor", &erro)) {
        QSqlQuery q(QSqlDatabase::database("leitor"));
        if (q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + tabela) && q.next())
            n = q.value(0).toInt();
    }
    FecharConexao("leitor");
    return n;
}

// Makes every insert of samples and events fail until `ate` (ms since the epoch; 0: no more).
bool FalharAte(const QSqlDatabase &db, qint64 ate)
{
    QSqlQuery q(db);
    const QString agora = "CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER)";
    bool ok = q.exec("CREATE TABLE IF NOT EXISTS falha_ate (ate INTEGER)") &&
              q.exec("DELETE FROM falha_ate") &&
              q.exec(QStringLiteral("INSERT INTO falha_ate VALUES (%1)").arg(ate));
    for (const char *tabela : {"amostras", "eventos"})
        ok = ok && q.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS falha_%1 BEFORE INSERT ON %1"
                                         " WHEN %2 < (SELECT ate FROM falha_ate)"
                                         " BEGIN SELECT RAISE(FAIL, 'falha de teste'); END")
                              .arg(QLatin1String(tabela), agora));
    return ok;
}

// A patient and one session of theirs started `minutos` after a fixed moment.
qint64 PacienteComTeste(TBancoSessoes &banco, const QString &nome, const QString &id, int minutos)
{
    QString erro;
    TPaciente p;
    p.nome = nome;
    p.identificador = id;
    TSessao s;
    s.pacienteId = banco.InserirPaciente(p, &erro);
    s.inicio = QDateTime(QDate(2024, 5, 2), QTime(8, 0), Qt::UTC).addSecs(60 * minutos);
    banco.IniciarSessao(s, &erro);
    return s.pacienteId;
}

QStringList Nomes(const QList<TBancoSessoes::TPacienteEncontrado> &encontrados)
{
    QStringList nomes;
    for (const TBancoSessoes::TPacienteEncontrado &e : encontrados)
        nomes << e.paciente.nome;
    return nomes;
}

constexpr qint64 kSempre = std::numeric_limits<qint64>::max();

int LinhasDoArquivo(const QString &caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : -1;
}

}  // namespace

class TstBancoSessoes : public QObject {
    Q_OBJECT

private slots:
    // KESTROVA_TESTE_MOTOR=postgresql runs the same cases against a server of the test's own;
    // the cases about a file's own troubles are SQLite's alone.
    void initTestCase()
    {
        if (qgetenv("KESTROVA_TESTE_MOTOR") != "postgresql")
            return;
        QStandardPaths::setTestModeEnabled(true);  // the stations' spools in the tests' folder
        if (const QString motivo = TServidorPostgres::Indisponivel(); !motivo.isEmpty())
            QSKIP(qPrintable(motivo));
        FServidor = std::make_unique<TServidorPostgres>();
        QString erro;
        QVERIFY2(FServidor->Iniciar(&erro), qPrintable(erro));
    }
    void init() { QVERIFY(FPasta.isValid()); }

    // A new database gets the current schema (and a file write-ahead logging).
    void criaArquivoNovo()
    {
        TBancoSessoes banco;
        QString erro;
        QVERIFY2(banco.Abrir(Banco("novo/s.db"), &erro), qPrintable(erro));
        int versao = 0;
        QSqlError falha;
        QVERIFY(TDialetoBanco::Da(banco.Conexao()).LerVersao(banco.Conexao(), &versao, &falha));
        QCOMPARE(versao, TBancoSessoes::kVersaoEsquema);
        if (FServidor)
            return;
        QSqlQuery q(banco.Conexao());
        QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    }

    // Each bad database is refused with a message naming the problem, before any test, and
    // the file is left as it was.
    void casosRuins_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("não é banco") << "lixo"
                                     << "não é um banco de sessões válido";
        QTest::newRow("esquema mais novo") << "novo"
                                           << "versão mais nova do programa";
        QTest::newRow("pasta sem escrita") << "pasta"
                                           << "Não foi possível criar a pasta";
        QTest::newRow("em uso") << "emuso"
                                << "em uso por outro programa";
        QTest::newRow("disco cheio") << "cheio"
                                     << "Espaço em disco insuficiente";
    }
    void casosRuins()
    {
        ApenasArquivo();
        QFETCH(QString, caso);
        QFETCH(QString, mensagem);
        QString caminho = FPasta.filePath(caso + ".db");
        QByteArray antes;
        TBancoSessoes outro(QStringLiteral("outro"));
        TBancoSessoes banco;
        QString erro;
        if (caso == "lixo") {
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("nome;idade\nAna;52\n").repeated(300));
        } else if (caso == "novo") {
            QVERIFY(outro.Abrir(caminho, &erro));
            QSqlQuery(outro.Conexao()).exec("PRAGMA user_version=99");
            outro.Fechar();
        } else if (caso == "pasta") {
            caminho = "/proc/kestrova-teste/s.db";  // not creatable, root included
        } else if (caso == "emuso") {
            QVERIFY(outro.Abrir(caminho, &erro));
        } else if (caso == "cheio") {
            banco.AjustarEspacoMinimo(std::numeric_limits<qint64>::max());
        }
        if (QFile::exists(caminho) && caso != "emuso") {
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::ReadOnly));
            antes = f.readAll();
        }
        QVERIFY(!banco.Abrir(caminho, &erro));
        QVERIFY2(erro.contains(mensagem), qPrintable(erro));
        QVERIFY(!banco.Aberto());
        if (!antes.isEmpty()) {
            QFile f(caminho);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), antes);
        }
    }

    // What is queued is visible to another connection within a second, without any call from
    // the queueing side.
    void gravadorComitaEmUmSegundo()
    {
        TBancoSessoes banco;
        QString erro;
        const QString caminho = Banco("gravador.db");
        QVERIFY(banco.Abrir(caminho, &erro));
        const TSessao s = NovaSessao(banco);
        TGravadorSessao gravador(banco, s.id);
        TAmostraRegistro a = Amostra(1000, 1);
        a.frequenciaCardiaca = 98;
        a.intervalosRR = {612};
        gravador.Amostra(a);
        a.tempoMs = 2000;
        a.frequenciaCardiaca = 0;  // no signal this second: no rate stored, not the last one
        a.intervalosRR.clear();
        gravador.Amostra(a);
        TEventoRegistro e;
        e.tipo = "fc";
        e.valor1 = 120;
        gravador.Evento(e);
        QTRY_VERIFY_WITH_TIMEOUT(
            Linhas(caminho, "amostras") == 2 && Linhas(caminho, "eventos") == 1, 1000);
        QCOMPARE(Linhas(caminho, "intervalos_rr"), 1);
        QSqlQuery q(banco.Conexao());
        QVERIFY(q.exec("SELECT frequencia_cardiaca FROM amostras ORDER BY tempo_ms"));
        QVERIFY(q.next() && q.value(0).toInt() == 98);
        QVERIFY(q.next() && q.value(0).isNull());
    }

    // A write that fails is reported at once, not at the end.
    void gravadorAvisaFalha()
    {
        ApenasArquivo();
        TGravadorSessao gravador(FPasta.filePath("nenhum/dir/x.db"), 1);
        QSignalSpy falha(&gravador, &TGravadorSessao::Falha);
        gravador.Amostra(Amostra(0, 1));
        QVERIFY(falha.wait(2000));
        QVERIFY(gravador.EmFalha());
        QVERIFY(!gravador.Esvaziar(300));
    }

    // A session left running (the program was killed) is found interrupted on the next open,
    // with its duration and stage table taken from what was recorded.
    void recuperaSessaoInterrompida()
    {
        const QString caminho = Banco("morto.db");
        qint64 id = 0;
        {
            TBancoSessoes banco;
            QString erro;
            QVERIFY(banco.Abrir(caminho, &erro));
            id = NovaSessao(banco).id;
            TGravadorSessao gravador(banco, id);
            for (int i = 0; i <= 200; ++i)
                gravador.Amostra(Amostra(i * 1000, i / 180 + 1));
            QVERIFY(gravador.Esvaziar());
        }
        TBancoSessoes banco;
        QString erro;
        QVERIFY2(banco.Abrir(caminho, &erro), qPrintable(erro));
        QCOMPARE(banco.Recuperadas(), 1);
        const TSessao s = *banco.LerSessao(id);
        QCOMPARE(s.situacao, TSessao::TSituacao::Interrompida);
        QCOMPARE(s.duracaoMs, 200000);
        const QList<TResumoEstagio> estagios = banco.LerEstagios(id);
        QCOMPARE(estagios.size(), 2);
        QCOMPARE(estagios.at(1).inicioMs, 180000);
        banco.Fechar();
        QVERIFY(banco.Abrir(caminho, &erro));
        QCOMPARE(banco.Recuperadas(), 0);
    }

    // A commit that fails always says why: the key below is checked only at the commit, so the
    // statements succeed and only the commit fails.
    void confirmacaoFalhaComMotivo_data()
    {
        QTest::addColumn<bool>("naAbertura");
        QTest::newRow("fim do teste") << false;
        QTest::newRow("sessão interrompida, na abertura") << true;
    }
    void confirmacaoFalhaComMotivo()
    {
        ApenasArquivo();
        QFETCH(bool, naAbertura);
        const QString caminho = FPasta.filePath(QStringLiteral("commit-%1.db").arg(naAbertura));
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        TSessao s = NovaSessao(banco);
        QSqlQuery q(banco.Conexao());
        QVERIFY(
            q.exec("CREATE TABLE quebra (s REFERENCES sessoes(id) DEFERRABLE INITIALLY DEFERRED)"));
        QVERIFY(
            q.exec("CREATE TRIGGER quebra AFTER UPDATE ON sessoes"
                   " BEGIN INSERT INTO quebra VALUES (-1); END"));
        s.situacao = TSessao::TSituacao::Concluida;
        if (naAbertura)
            banco.Fechar();
        QVERIFY(naAbertura ? !banco.Abrir(caminho, &erro) : !banco.FinalizarSessao(s, &erro));
        QVERIFY2(erro.contains(QRegularExpression(
                     "^Não foi possível gravar o fim do teste: \\S.*\\nArquivo: \\S")),
                 qPrintable(erro));
    }

    // A session that ends during a write failure: the commit is retried for a bounded time;
    // what still fails is kept in the side file, and the caller is told how many and where.
    void encerrarDuranteFalha_data()
    {
        QTest::addColumn<int>("falhaMs");  // how long the failure lasts after Encerrar; -1 always
        QTest::addColumn<bool>("semArquivo");  // the side file cannot be written either
        QTest::addColumn<QString>("aviso");
        QTest::newRow("falha passageira") << 600 << false << "^$";
        QTest::newRow("falha persistente")
            << -1 << false << "falha de teste.*3 registro\\(s\\).*guardados em .*\\.pendentes";
        QTest::newRow("sem arquivo pendente") << -1 << true << "3 registro\\(s\\).*perdidos";
    }
    void encerrarDuranteFalha()
    {
        ApenasArquivo();
        QFETCH(int, falhaMs);
        QFETCH(bool, semArquivo);
        QFETCH(QString, aviso);
        const QString caminho =
            FPasta.filePath(QStringLiteral("fim-%1-%2.db").arg(falhaMs).arg(semArquivo));
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        const TSessao s = NovaSessao(banco);
        QVERIFY(FalharAte(banco.Conexao(), kSempre));
        if (semArquivo)
            QVERIFY(QDir().mkpath(caminho + ".pendentes"));
        TGravadorSessao g(caminho, s.id);
        g.Amostra(Amostra(0, 1));
        g.Amostra(Amostra(1000, 1));
        TEventoRegistro e;
        e.tipo = "fc";
        g.Evento(e);
        QTRY_VERIFY_WITH_TIMEOUT(g.EmFalha(), 2000);
        const qint64 fim = falhaMs < 0 ? kSempre : QDateTime::currentMSecsSinceEpoch() + falhaMs;
        QVERIFY(FalharAte(banco.Conexao(), fim));
        QElapsedTimer relogio;
        relogio.start();
        QString texto;
        QCOMPARE(g.Encerrar(&texto), falhaMs >= 0);
        QVERIFY(relogio.elapsed() < 2 * TGravadorSessao::kEncerrarMs);
        QVERIFY2(texto.contains(QRegularExpression(aviso)), qPrintable(texto));
        QCOMPARE(Linhas(caminho, "amostras") + Linhas(caminho, "eventos"), falhaMs >= 0 ? 3 : 0);
        if (falhaMs >= 0)  // committed after the failure ended, so it was retried
            QVERIFY(QDateTime::currentMSecsSinceEpoch() >= fim);
        QCOMPARE(LinhasDoArquivo(caminho + ".pendentes"), falhaMs >= 0 || semArquivo ? -1 : 3);
    }

    // The side file comes back into the database at the next open, once, with the stage table
    // of its (already finished) session rebuilt; a corrupt line does not hold back the others.
    void recuperaArquivoPendente()
    {
        ApenasArquivo();
        const QString caminho = FPasta.filePath("pendente.db");
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        TSessao s = NovaSessao(banco);
        QVERIFY(FalharAte(banco.Conexao(), kSempre));
        {
            TGravadorSessao g(caminho, s.id);
            for (int i = 0; i < 10; ++i) {
                TAmostraRegistro a = Amostra(i * 10000, i / 6 + 1);
                if (i == 9) {  // a second with a sensor's rate and RR intervals
                    a.frequenciaCardiaca = 131;
                    a.fonteFc = QStringLiteral("Cinta \"A\"");
                    a.intervalosRR = {458, 460};
                }
                g.Amostra(a);
            }
            for (int estagio : {1, 2}) {
                TEventoRegistro e;
                e.tipo = "estagio";
                e.fase = 1;
                e.estagio = estagio;
                e.tempoMs = (estagio - 1) * 60000;
                e.texto = QStringLiteral("\"Estágio\" %1,\nlinha 2").arg(estagio);
                g.Evento(e);
            }
            QTRY_VERIFY_WITH_TIMEOUT(g.EmFalha(), 2000);
            QVERIFY(!g.Encerrar());
        }
        s.situacao = TSessao::TSituacao::Parada;
        QVERIFY(banco.FinalizarSessao(s, &erro));
        QVERIFY(banco.LerEstagios(s.id).isEmpty());
        QVERIFY(FalharAte(banco.Conexao(), 0));
        banco.Fechar();
        QFile f(caminho + ".pendentes");
        QVERIFY(f.open(QIODevice::Append));
        f.write("{\"sessao\": 1, \"registro\": \"amos\n");
        f.close();

        QVERIFY2(banco.Abrir(caminho, &erro), qPrintable(erro));
        QCOMPARE(banco.RecuperadosDoArquivoPendente(), 12);
        QVERIFY2(banco.AvisoArquivoPendente().contains(QRegularExpression(
                     "^12 registro\\(s\\).*recuperados.* 1 linha\\(s\\).*corrompidas.*invalidas")),
                 qPrintable(banco.AvisoArquivoPendente()));
        QVERIFY(!QFile::exists(caminho + ".pendentes"));
        QCOMPARE(LinhasDoArquivo(caminho + ".pendentes.invalidas"), 1);
        QCOMPARE(banco.LerAmostras(s.id).size(), 10);
        QCOMPARE(banco.LerAmostras(s.id).at(9).velocidadeConfirmada, 2.7 + 2);
        QCOMPARE(banco.LerAmostras(s.id).at(9).frequenciaCardiaca, 131);
        QCOMPARE(banco.LerAmostras(s.id).at(9).fonteFc, QStringLiteral("Cinta \"A\""));
        QCOMPARE(banco.LerAmostras(s.id).at(9).intervalosRR, QList<int>({458, 460}));
        QCOMPARE(banco.LerAmostras(s.id).at(8).frequenciaCardiaca, 0);
        QVERIFY(banco.LerAmostras(s.id).at(8).intervalosRR.isEmpty());
        QCOMPARE(banco.LerEventos(s.id).at(1).texto, QStringLiteral("\"Estágio\" 2,\nlinha 2"));
        QCOMPARE(banco.LerEstagios(s.id).size(), 2);
        QCOMPARE(banco.LerEstagios(s.id).at(1).inicioMs, 60000);
        QCOMPARE(banco.LerSessao(s.id)->situacao, TSessao::TSituacao::Parada);
        banco.Fechar();
        QVERIFY(banco.Abrir(caminho, &erro));
        QCOMPARE(banco.RecuperadosDoArquivoPendente(), 0);
        QVERIFY(banco.AvisoArquivoPendente().isEmpty());
        QCOMPARE(banco.LerEventos(s.id).size(), 2);
    }

    // A file of schema version 1 (no protocol values in the stage table, no weight in the
    // session) opens and is migrated to the current version; its rows are kept.
    void migraDaVersao1()
    {
        ApenasArquivo();
        const QString caminho = FPasta.filePath("versao1.db");
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        const TSessao s = NovaSessao(banco);
        QSqlQuery q(banco.Conexao());
        for (const QString &comando :  // back to version 1's stage table, with a finished row
             {QStringLiteral("ALTER TABLE estagios DROP COLUMN velocidade_protocolo"),
              QStringLiteral("ALTER TABLE estagios DROP COLUMN inclinacao_protocolo"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN peso"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN altura"),
              QStringLiteral("ALTER TABLE amostras DROP COLUMN frequencia_cardiaca"),
              QStringLiteral("ALTER TABLE amostras DROP COLUMN fonte_fc"),
              QStringLiteral("DROP TABLE intervalos_rr"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN betabloqueador"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN fc_repouso"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN pas_repouso"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN pad_repouso"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN desvio_st_mm"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN indice_angina"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN formula_fc_maxima"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN percentual_fc_alvo"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN fc_limite"),
              QStringLiteral("DROP INDEX sessoes_estacao"),
              QStringLiteral("ALTER TABLE sessoes DROP COLUMN estacao"),
              QStringLiteral("DROP TABLE filas_encaminhadas"),
              QStringLiteral(
                  "INSERT INTO estagios (sessao_id, ordem, velocidade) VALUES (%1, 0, 2.7)")
                  .arg(s.id),
              QStringLiteral("UPDATE sessoes SET situacao = 'concluida'"),
              QStringLiteral("PRAGMA user_version=1")})
            QVERIFY2(q.exec(comando), qPrintable(comando));
        q.finish();
        banco.Fechar();
        QVERIFY2(banco.Abrir(caminho, &erro), qPrintable(erro));
        QSqlQuery r(banco.Conexao());
        QVERIFY(r.exec("PRAGMA user_version") && r.next());
        QCOMPARE(r.value(0).toInt(), TBancoSessoes::kVersaoEsquema);
        QCOMPARE(banco.LerSessao(s.id)->peso, QString());
        QCOMPARE(banco.LerEstagios(s.id).size(), 1);
        QCOMPARE(banco.LerEstagios(s.id).at(0).velocidade, 2.7);
        QCOMPARE(banco.LerEstagios(s.id).at(0).velocidadeProtocolo, 0.0);
    }

    // The search finds a patient by any part of the name or identifier, every word of the
    // search, whatever the case and accents; the latest tested first.
    void buscaPacientes_data()
    {
        QTest::addColumn<QString>("busca");
        QTest::addColumn<QStringList>("nomes");
        const QString conceicao = QStringLiteral("Conceição Araújo");
        const QString ana = QStringLiteral("Ana Souza");
        const QString mariana = QStringLiteral("Mariana Lima");
        QTest::newRow("todos") << "" << QStringList{ana, mariana, conceicao};
        QTest::newRow("parte do nome") << "ana" << QStringList{ana, mariana};
        QTest::newRow("sem acento e maiúsculas") << "CONCEICAO" << QStringList{conceicao};
        QTest::newRow("com acento") << "araújo" << QStringList{conceicao};
        QTest::newRow("duas palavras") << "  araujo   conc " << QStringList{conceicao};
        QTest::newRow("palavra que falta") << "ana lima" << QStringList{mariana};
        QTest::newRow("identificador") << "hc-2" << QStringList{ana};
        QTest::newRow("nenhum") << "zzz" << QStringList{};
    }
    void buscaPacientes()
    {
        QFETCH(QString, busca);
        QFETCH(QStringList, nomes);
        TBancoSessoes banco;
        QString erro;
        QVERIFY(
            banco.Abrir(Banco(QStringLiteral("busca-%1.db").arg(QTest::currentDataTag())), &erro));
        PacienteComTeste(banco, QStringLiteral("Ana Souza"), "HC-200", 0);
        PacienteComTeste(banco, QStringLiteral("Conceição Araújo"), "HC-100", 10);
        PacienteComTeste(banco, QStringLiteral("Mariana Lima"), "X-9", 20);
        // Ana's second test is the latest of all.
        TSessao s;
        s.pacienteId = banco.BuscarPacientes("Ana Souza").value(0).paciente.id;
        s.inicio = QDateTime(QDate(2024, 5, 3), QTime(9, 0), Qt::UTC);
        QVERIFY(banco.IniciarSessao(s, &erro));
        const QList<TBancoSessoes::TPacienteEncontrado> achados = banco.BuscarPacientes(busca);
        QCOMPARE(Nomes(achados), nomes);
        if (!achados.isEmpty() && achados.first().paciente.nome == QStringLiteral("Ana Souza")) {
            QCOMPARE(achados.first().testes, 2);
            QCOMPARE(achados.first().ultimoTeste, s.inicio);
        }
    }

    // A chosen patient's row is rewritten, not copied; a new one (id 0) is inserted; a patient
    // that is not in the file is refused with a reason.
    void gravaPacienteEscolhido()
    {
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(Banco("grava.db"), &erro));
        TPaciente p;
        p.nome = QStringLiteral("Rui Prado");
        p.medico = QStringLiteral("Dr. Alves");
        p.id = banco.GravarPaciente(p, &erro);
        QVERIFY2(p.id, qPrintable(erro));
        p.peso = QStringLiteral("81,5");
        p.medico = QStringLiteral("Dra. Lopes");
        QCOMPARE(banco.GravarPaciente(p, &erro), p.id);
        QCOMPARE(banco.LerPaciente(p.id)->peso, QStringLiteral("81,5"));
        QCOMPARE(banco.LerPaciente(p.id)->medico, QStringLiteral("Dra. Lopes"));
        QCOMPARE(Linhas(banco.Caminho(), "pacientes"), 1);
        TPaciente outro;
        outro.nome = QStringLiteral("Rui Prado");
        const qint64 novo = banco.GravarPaciente(outro, &erro);
        QVERIFY(novo && novo != p.id);
        QCOMPARE(Linhas(banco.Caminho(), "pacientes"), 2);
        p.id = 999;
        QCOMPARE(banco.GravarPaciente(p, &erro), 0);
        QVERIFY2(erro.contains("nº 999 não está neste banco"), qPrintable(erro));
    }

    // A patient's sessions, the latest first, and no one else's.
    void sessoesDoPaciente()
    {
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(Banco("sessoes.db"), &erro));
        const qint64 ana = PacienteComTeste(banco, "Ana", "", 0);
        const qint64 rui = PacienteComTeste(banco, "Rui", "", 5);
        TSessao s;
        s.pacienteId = ana;
        s.protocoloNome = QStringLiteral("Bruce");
        s.inicio = QDateTime(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC);
        s.id = banco.IniciarSessao(s, &erro);
        const QList<TSessao> daAna = banco.SessoesDoPaciente(ana);
        QCOMPARE(daAna.size(), 2);
        QCOMPARE(daAna.at(0).id, s.id);
        QCOMPARE(daAna.at(0).protocoloNome, QStringLiteral("Bruce"));
        QVERIFY(daAna.at(1).inicio < daAna.at(0).inicio);
        QCOMPARE(banco.SessoesDoPaciente(rui).size(), 1);
        QVERIFY(banco.SessoesDoPaciente(rui).at(0).id != s.id);
        QVERIFY(banco.SessoesDoPaciente(12345).isEmpty());
    }

private:
    // A new database: a file in the test's folder, or a database on the test's server.
    QString Banco(const QString &nome)
    {
        if (!FServidor)
            return FPasta.filePath(nome);
        static int numero = 0;
        return FServidor->NovoBanco(QStringLiteral("teste_%1").arg(++numero));
    }
    void ApenasArquivo() const
    {
        if (FServidor)
            QSKIP("a SQLite file's own case (its header, lock, side file or triggers)");
    }

    QTemporaryDir FPasta;
    std::unique_ptr<TServidorPostgres> FServidor;
};

QTEST_GUILESS_MAIN(TstBancoSessoes)
#include "tst_bancosessoes.moc"

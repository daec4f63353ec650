#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include "session/bancosessoes.h"
#include "session/conexaobanco.h"
#include "session/filalocal.h"
#include "session/gravadorsessao.h"
#include "tests/support/servidorpostgres.h"

namespace {

TSessao NovaSessao(TBancoSessoes &banco, const QString &nome)
{
    QString erro;
    TPaciente p;
    p.nome = nome;
    TSessao s;
    s.pacienteId = banco.InserirPaciente(p, &erro);
    s.protocoloNome = QStringLiteral("Bruce");
    s.inicio = QDateTime::currentDateTimeUtc();
    s.id = banco.IniciarSessao(s, &erro);
    return s;
}

TAmostraRegistro Amostra(qint64 t)
{
    TAmostraRegistro a;
    a.tempoMs = t;
    a.fase = 1;
    a.estagio = 1;
    a.velocidadeAlvo = a.velocidadeConfirmada = 2.7;
    return a;
}

TEventoRegistro Evento(qint64 t)
{
    TEventoRegistro e;
    e.tempoMs = t;
    e.tipo = QStringLiteral("fc");
    e.valor1 = double(t);
    return e;
}

// One column of a session's rows in order, read on a connection of its own.
QList<qint64> Tempos(const QString &endereco, const QString &tabela, qint64 sessao)
{
    QList<qint64> tempos;
    QString erro;
    if (AbrirConexao(*TEnderecoBanco::Ler(endereco, &erro), "leitor", &erro)) {
        QSqlQuery q(QSqlDatabase::database("leitor"));
        q.exec(QStringLiteral("SELECT tempo_ms FROM %1 WHERE sessao_id = %2 ORDER BY %3")
                   .arg(tabela)
                   .arg(sessao)
                   .arg(tabela == "eventos" ? "id" : "tempo_ms"));
        while (q.next())
            tempos << q.value(0).toLongLong();
    }
    FecharConexao("leitor");
    return tempos;
}

QList<qint64> DeZeroA(int n)
{
    QList<qint64> t;
    for (int i = 0; i < n; ++i)
        t << i * 1000;
    return t;
}

}  // namespace

class TstBancoServidor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);  // the spools go to a folder of the tests
        if (const QString motivo = TServidorPostgres::Indisponivel(); !motivo.isEmpty())
            QSKIP(qPrintable(motivo));
        QString erro;
        QVERIFY2(FServidor.Iniciar(&erro), qPrintable(erro));
    }

    // The recorder and the forwarder open a new spool at the same moment: both get it.
    void filaNovaAbertaPorDoisDeUmaVez()
    {
        QTemporaryDir pasta;
        for (int i = 0; i < 40; ++i) {
            const QString caminho = pasta.filePath(QStringLiteral("fila-%1.sqlite").arg(i));
            std::atomic<bool> largada{false};
            QString erros[2];
            bool abertas[2] = {};
            const auto abrir = [&](int qual) {
                TFilaLocal fila(caminho, "par", QStringLiteral("par-%1-%2").arg(qual).arg(i));
                while (!largada) {
                }
                abertas[qual] = fila.Abrir(&erros[qual]);
            };
            std::thread outra(abrir, 1);
            largada = true;
            abrir(0);
            outra.join();
            QVERIFY2(abertas[0] && abertas[1], qPrintable(erros[0] + erros[1]));
        }
    }

    void enderecos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");  // host|port|db|user, or the error's words
        QTest::newRow("completo") << "postgresql://lab@db.hospital:5433/testes"
                                  << "db.hospital|5433|testes|lab";
        QTest::newRow("sem porta") << "postgres://lab@db/testes"
                                   << "db|-1|testes|lab";
        QTest::newRow("pasta do socket") << "postgresql://lab@/testes?host=/run/pg&port=6000"
                                         << "/run/pg|6000|testes|lab";
        QTest::newRow("senha") << "postgresql://lab:segredo@db/testes"
                               << "a senha não pode ir no endereço";
        QTest::newRow("sem banco") << "postgresql://lab@db:5432/"
                                   << "falta o nome do banco";
        QTest::newRow("porta ruim") << "postgresql://lab@db/testes?port=x"
                                    << "porta inválida";
        QTest::newRow("parâmetro") << "postgresql://lab@db/testes?password=x"
                                   << "parâmetro desconhecido";
    }
    void enderecos()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QString erro;
        const std::optional<TEnderecoBanco> e = TEnderecoBanco::Ler(texto, &erro);
        if (!e) {
            QVERIFY2(erro.contains(esperado), qPrintable(erro));
            return;
        }
        QVERIFY(e->Servidor());
        QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                     .arg(e->Hospedeiro())
                     .arg(e->Porta())
                     .arg(e->NomeBanco(), e->Usuario()),
                 esperado);
        QCOMPARE(TEnderecoBanco::Ler(e->Texto(), &erro)->Texto(), e->Texto());
    }

    // A database that cannot take a test is refused at the start, with the reason.
    void recusas_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("senha errada") << "senha"
                                      << "autenticação recusada";
        QTest::newRow("banco que não existe") << "banco"
                                              << "não existe";
        QTest::newRow("esquema mais novo") << "esquema"
                                           << "versão mais nova do programa";
        QTest::newRow("sem permissão") << "permissao"
                                       << "permissão negada";
        QTest::newRow("servidor parado") << "parado"
                                         << "servidor inacessível";
        QTest::newRow("estação em uso") << "estacao"
                                        << "já está em uso";
    }
    void recusas()
    {
        QFETCH(QString, caso);
        QFETCH(QString, mensagem);
        QString endereco = FServidor.NovoBanco("recusa_" + caso);
        TBancoSessoes outro(QStringLiteral("outro"));
        QString erro;
        if (caso == "senha") {
            qputenv("PGPASSWORD", "errada");
        } else if (caso == "banco") {
            endereco.replace("recusa_banco", "nenhum");
        } else if (caso == "esquema") {
            QVERIFY(outro.Abrir(endereco, &erro));
            outro.Fechar();
            QVERIFY(FServidor.Executar("recusa_esquema", "UPDATE versao_esquema SET versao = 99"));
        } else if (caso == "permissao") {
            // PostgreSQL 15 lets only the owner create tables in the public schema.
            QVERIFY(FServidor.Executar("postgres",
                                       QStringLiteral("CREATE ROLE visitante LOGIN PASSWORD '%1'")
                                           .arg(TServidorPostgres::kSenha)));
            endereco = FServidor.Endereco("recusa_permissao", "visitante");
        } else if (caso == "parado") {
            endereco.replace(QRegularExpression("port=\\d+"), "port=1");
        } else if (caso == "estacao") {
            QVERIFY2(outro.Abrir(endereco, &erro), qPrintable(erro));
        }
        TBancoSessoes banco;
        const bool abriu = banco.Abrir(endereco, &erro);
        qputenv("PGPASSWORD", TServidorPostgres::kSenha);
        QVERIFY(!abriu);
        QVERIFY2(erro.contains(mensagem), qPrintable(erro));
        QVERIFY2(!erro.contains(TServidorPostgres::kSenha), qPrintable(erro));
    }

    // Two stations record at once into one server: ids from the server, nothing mixed or lost,
    // each session with its station; the browser's rows by station.
    void duasEstacoes()
    {
        const QString endereco = FServidor.NovoBanco("duas");
        TBancoSessoes a(QStringLiteral("a")), b(QStringLiteral("b"));
        a.AjustarEstacao("sala-1");
        b.AjustarEstacao("sala-2");
        QString erro;
        QVERIFY2(a.Abrir(endereco, &erro) && b.Abrir(endereco, &erro), qPrintable(erro));
        const TSessao sa = NovaSessao(a, "Ana"), sb = NovaSessao(b, "Rui");
        QVERIFY(sa.id && sb.id && sa.id != sb.id);
        {
            TGravadorSessao ga(a, sa.id), gb(b, sb.id);
            for (int i = 0; i < 300; ++i) {
                ga.Amostra(Amostra(i * 1000));
                gb.Amostra(Amostra(i * 1000));
                ga.Evento(Evento(i * 1000));
                gb.Evento(Evento(i * 1000));
            }
            QVERIFY(ga.Esvaziar() && gb.Esvaziar());
        }
        for (qint64 id : {sa.id, sb.id}) {
            QCOMPARE(Tempos(endereco, "amostras", id), DeZeroA(300));
            QCOMPARE(Tempos(endereco, "eventos", id), DeZeroA(300));
        }
        QCOMPARE(a.LerSessao(sb.id)->estacao, QStringLiteral("sala-2"));
        QCOMPARE(a.Estacoes(), QStringList({"sala-1", "sala-2"}));
        QSqlQuery q = a.ConsultarSessoes("sala-1");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), sa.id);
        QCOMPARE(q.value("Situação").toString(), QStringLiteral("Em andamento"));
        QVERIFY(!q.next());
    }

    // The server stops in the middle of a test for 10 s: the records wait in the spool, the
    // outage is told and cleared, and every record is on the server once, in order.
    void quedaDoServidor()
    {
        const QString endereco = FServidor.NovoBanco("queda");
        TBancoSessoes banco;
        banco.AjustarEstacao("queda");
        QString erro;
        QVERIFY2(banco.Abrir(endereco, &erro), qPrintable(erro));
        const TSessao s = NovaSessao(banco, "Ana");
        TGravadorSessao gravador(banco, s.id);
        QSignalSpy fora(&gravador, &TGravadorSessao::ServidorIndisponivel);
        QSignalSpy volta(&gravador, &TGravadorSessao::ServidorDeVolta);
        int n = 0;
        const auto gravar = [&](int ms) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < ms) {
                gravador.Amostra(Amostra(n * 1000));
                gravador.Evento(Evento(n * 1000));
                ++n;
                QTest::qWait(20);
            }
        };
        gravar(1000);
        QVERIFY(FServidor.Parar());
        gravar(10000);  // the outage: the test goes on
        QVERIFY(!fora.isEmpty());
        QVERIFY(fora.last().at(1).toLongLong() > 0);
        QVERIFY(volta.isEmpty());
        QVERIFY(FServidor.Retomar());
        gravar(500);
        QTRY_VERIFY_WITH_TIMEOUT(!volta.isEmpty(), 15000);
        QVERIFY(gravador.Esvaziar(5000));
        QVERIFY(gravador.Encerrar());
        QCOMPARE(Tempos(endereco, "amostras", s.id), DeZeroA(n));
        QCOMPARE(Tempos(endereco, "eventos", s.id), DeZeroA(n));
    }

    // A program killed during an outage: at its station's next start the spool goes to the
    // server and the session is marked interrupted; another station leaves it alone.
    void mortoDuranteQueda()
    {
        const QString endereco = FServidor.NovoBanco("morto");
        qint64 id = 0;
        {
            TBancoSessoes banco;
            banco.AjustarEstacao("morta");
            QString erro;
            QVERIFY2(banco.Abrir(endereco, &erro), qPrintable(erro));
            id = NovaSessao(banco, "Ana").id;
            TGravadorSessao gravador(banco, id);
            QVERIFY(FServidor.Parar());
            for (int i = 0; i < 120; ++i)
                gravador.Amostra(Amostra(i * 1000));
            QString aviso;
            QVERIFY(!gravador.Encerrar(&aviso));  // what a kill leaves: the spool, no end
            QVERIFY2(aviso.contains("Servidor de sessões indisponível"), qPrintable(aviso));
        }
        QVERIFY(FServidor.Retomar());
        QString erro;
        TBancoSessoes outra;
        outra.AjustarEstacao("outra");
        QVERIFY2(outra.Abrir(endereco, &erro), qPrintable(erro));
        QCOMPARE(outra.Recuperadas(), 0);
        QCOMPARE(outra.LerSessao(id)->situacao, TSessao::TSituacao::EmAndamento);
        outra.Fechar();
        TBancoSessoes banco;
        banco.AjustarEstacao("morta");
        QVERIFY2(banco.Abrir(endereco, &erro), qPrintable(erro));
        QCOMPARE(banco.RecuperadosDoArquivoPendente(), 120);
        QCOMPARE(banco.Recuperadas(), 1);
        QCOMPARE(banco.LerSessao(id)->situacao, TSessao::TSituacao::Interrompida);
        QCOMPARE(banco.LerSessao(id)->duracaoMs, 119000);
        QCOMPARE(Tempos(endereco, "amostras", id), DeZeroA(120));
    }

    // A forward whose commit reply was lost (the rows are still in the spool) is not repeated.
    void encaminhaUmaVez()
    {
        const QString endereco = FServidor.NovoBanco("uma_vez");
        TBancoSessoes banco;
        banco.AjustarEstacao("uma-vez");
        QString erro;
        QVERIFY2(banco.Abrir(endereco, &erro), qPrintable(erro));
        const TSessao s = NovaSessao(banco, "Ana");
        TFilaLocal fila(banco.CaminhoFila(), "uma-vez", "fila");
        QVERIFY2(fila.Abrir(&erro), qPrintable(erro));
        qint64 ultimo = 0;
        QVERIFY(fila.Anexar(s.id, {Evento(0), Evento(1000), Evento(2000)}, &ultimo, &erro));
        QSqlQuery copia(QSqlDatabase::database("fila"));
        QVERIFY(copia.exec("CREATE TABLE copia AS SELECT * FROM registros"));
        QCOMPARE(fila.Encaminhar(banco.Conexao(), 500, &erro), ultimo);
        QCOMPARE(fila.Pendentes(), 0);
        QVERIFY(copia.exec("INSERT INTO registros SELECT * FROM copia"));
        QCOMPARE(fila.Encaminhar(banco.Conexao(), 500, &erro), ultimo);
        QCOMPARE(fila.Pendentes(), 0);
        QCOMPARE(Tempos(endereco, "eventos", s.id), DeZeroA(3));
    }

private:
    TServidorPostgres FServidor;
};

QTEST_GUILESS_MAIN(TstBancoServidor)
#include "tst_bancoservidor.moc"

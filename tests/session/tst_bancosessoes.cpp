#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "session/bancosessoes.h"
#include "session/gravadorsessao.h"

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
int Linhas(const QString &caminho, const QString &tabela)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "leitor");
        db.setDatabaseName(caminho);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + tabela) && q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("leitor");
    return n;
}

}  // namespace

class TstBancoSessoes : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(FPasta.isValid()); }

    // A new file gets the current schema and write-ahead logging.
    void criaArquivoNovo()
    {
        TBancoSessoes banco;
        QString erro;
        QVERIFY2(banco.Abrir(FPasta.filePath("novo/s.db"), &erro), qPrintable(erro));
        QSqlQuery q(banco.Conexao());
        QVERIFY(q.exec("PRAGMA user_version") && q.next());
        QCOMPARE(q.value(0).toInt(), TBancoSessoes::kVersaoEsquema);
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
        const QString caminho = FPasta.filePath("gravador.db");
        QVERIFY(banco.Abrir(caminho, &erro));
        const TSessao s = NovaSessao(banco);
        TGravadorSessao gravador(caminho, s.id);
        gravador.Amostra(Amostra(1000, 1));
        TEventoRegistro e;
        e.tipo = "fc";
        e.valor1 = 120;
        gravador.Evento(e);
        QTRY_VERIFY_WITH_TIMEOUT(
            Linhas(caminho, "amostras") == 1 && Linhas(caminho, "eventos") == 1, 1000);
    }

    // A write that fails is reported at once, not at the end.
    void gravadorAvisaFalha()
    {
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
        const QString caminho = FPasta.filePath("morto.db");
        qint64 id = 0;
        {
            TBancoSessoes banco;
            QString erro;
            QVERIFY(banco.Abrir(caminho, &erro));
            id = NovaSessao(banco).id;
            TGravadorSessao gravador(caminho, id);
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
        QVERIFY2(erro.contains(
                     QRegularExpression("^Não foi possível gravar o fim do teste \\(.+\\): \\S")),
                 qPrintable(erro));
    }

private:
    QTemporaryDir FPasta;
};

QTEST_GUILESS_MAIN(TstBancoSessoes)
#include "tst_bancosessoes.moc"

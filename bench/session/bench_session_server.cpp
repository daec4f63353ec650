// The session recorder on a PostgreSQL server of the benchmark's own (a local one, on a Unix
// socket) against a SQLite file, in the same run:
//  - samples per second sustained: a burst of samples and events queued at once, timed until
//    the last is committed (on the server: has gone through the local spool to the server);
//  - after an outage of --outage-s seconds (default 60) with a test recording at 1 Hz, the time
//    from the server's return to an empty spool.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "session/bancosessoes.h"
#include "session/gravadorsessao.h"
#include "tests/support/servidorpostgres.h"

namespace {

TAmostraRegistro Amostra(qint64 t)
{
    TAmostraRegistro a;
    a.tempoMs = t;
    a.fase = 1;
    a.estagio = 1 + int(t / 180000);
    a.velocidadeAlvo = a.velocidadeConfirmada = 2.7;
    a.inclinacaoAlvo = a.inclinacaoConfirmada = 10;
    a.frequenciaCardiaca = 120;
    a.intervalosRR = {500, 498};
    return a;
}

qint64 NovaSessao(TBancoSessoes &banco)
{
    QString erro;
    TPaciente p;
    p.nome = QStringLiteral("Bench");
    TSessao s;
    s.pacienteId = banco.InserirPaciente(p, &erro);
    s.inicio = QDateTime::currentDateTimeUtc();
    return banco.IniciarSessao(s, &erro);
}

// Samples per second from the first queued to the last committed.
double Sustentado(const QString &endereco, const QString &estacao, int amostras)
{
    TBancoSessoes banco(QStringLiteral("bench-") + estacao);
    banco.AjustarEstacao(estacao);
    QString erro;
    if (!banco.Abrir(endereco, &erro)) {
        std::fprintf(stderr, "%s\n", qPrintable(erro));
        return 0;
    }
    TGravadorSessao gravador(banco, NovaSessao(banco));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < amostras; ++i)
        gravador.Amostra(Amostra(i * 1000LL));
    if (!gravador.Esvaziar(600000))
        return 0;
    return amostras / (double(t.nsecsElapsed()) / 1e9);
}

// ms from the server's return to an empty spool, after an outage of `segundos` at 1 Hz.
double Drenagem(TServidorPostgres &servidor, const QString &endereco, int segundos, qint64 *n)
{
    TBancoSessoes banco(QStringLiteral("bench-queda"));
    banco.AjustarEstacao(QStringLiteral("queda"));
    QString erro;
    if (!banco.Abrir(endereco, &erro))
        return -1;
    TGravadorSessao gravador(banco, NovaSessao(banco));
    servidor.Parar();
    for (int s = 0; s < segundos; ++s) {
        gravador.Amostra(Amostra(s * 1000LL));
        TEventoRegistro e;
        e.tempoMs = s * 1000LL;
        e.tipo = QStringLiteral("fc");
        gravador.Evento(e);
        QThread::msleep(1000);
        QCoreApplication::processEvents();
    }
    *n = 2LL * segundos;
    if (!servidor.Retomar())
        return -1;
    QElapsedTimer t;
    t.start();
    if (!gravador.Esvaziar(60000))
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser opcoes;
    opcoes.addHelpOption();
    QCommandLineOption queda(QStringLiteral("outage-s"), QStringLiteral("Outage length."),
                             QStringLiteral("s"), QStringLiteral("60"));
    QCommandLineOption amostras(QStringLiteral("samples"), QStringLiteral("Burst size."),
                                QStringLiteral("n"), QStringLiteral("20000"));
    opcoes.addOptions({queda, amostras});
    opcoes.process(app);
    QStandardPaths::setTestModeEnabled(true);  // the spool in a folder of its own
    if (const QString motivo = TServidorPostgres::Indisponivel(); !motivo.isEmpty()) {
        std::printf("bench_session_server: skipped: %s\n", qPrintable(motivo));
        return 0;
    }
    TServidorPostgres servidor;
    QString erro;
    if (!servidor.Iniciar(&erro)) {
        std::fprintf(stderr, "bench_session_server: %s\n", qPrintable(erro));
        return 1;
    }
    const int n = opcoes.value(amostras).toInt();
    QTemporaryDir pasta;
    const double sqlite = Sustentado(pasta.filePath(QStringLiteral("s.sqlite")), "arquivo", n);
    const double postgres = Sustentado(servidor.NovoBanco(QStringLiteral("sustentado")), "sala", n);
    std::printf(
        "samples/s sustained, %d samples with 2 RR intervals each: SQLite %.0f, "
        "PostgreSQL %.0f (%.2fx SQLite)\n",
        n, sqlite, postgres, sqlite > 0 ? postgres / sqlite : 0.0);
    qint64 registros = 0;
    const int segundos = opcoes.value(queda).toInt();
    const double ms =
        Drenagem(servidor, servidor.NovoBanco(QStringLiteral("queda")), segundos, &registros);
    std::printf("after a %d s outage (%lld records waiting): server back to empty spool %.0f ms\n",
                segundos, registros, ms);
    // A test writes one sample a second: a station must keep far ahead of it, and the spool
    // must be empty within a few forwarder retries of the server's return.
    const bool ok = postgres >= 100 && ms >= 0 && ms <= 5000;
    std::printf("bench_session_server: %s\n", ok ? "ok" : "MISSED");
    return ok ? 0 : 1;
}

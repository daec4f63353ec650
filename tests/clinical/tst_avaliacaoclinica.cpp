#include <QJsonArray>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "clinical/alertasclinicos.h"
#include "clinical/avaliacaoclinica.h"
#include "clinical/equacoesmetabolicas.h"
#include "clinical/idade.h"
#include "clinical/jsonclinico.h"
#include "protocol/estadoexecucao.h"
#include "session/bancosessoes.h"

// Every expected figure is worked by hand from the published equation named beside it
// (docs/clinical.md has the citations), not taken from the code's output.
namespace {

using F = TResultadosClinicos::TFaixaDuke;
using Formula = TSessao::TFormulaFcMaxima;

bool Perto(double a, double b)
{
    return std::abs(a - b) < 0.001;
}

int Estado(int fase)
{
    return int(fase == 2 ? TEstadoExecucao::Recuperacao : TEstadoExecucao::Exercicio);
}

TEventoRegistro Evento(qint64 s, const char *tipo, int fase, double v1 = 0, double v2 = 0)
{
    return {s * 1000, QString::fromLatin1(tipo), Estado(fase), fase, 0, 0, 0, {}, v1, v2};
}

// A stage sent as the protocol has it (valor1/valor2: the protocol's speed and grade).
TEventoRegistro Estagio(qint64 s, int fase, int estagio, double velocidade, double inclinacao)
{
    TEventoRegistro e = Evento(s, "estagio", fase, velocidade, inclinacao);
    e.estagio = estagio;
    e.velocidade = velocidade;
    e.inclinacao = inclinacao;
    return e;
}

// A recorded test: one sample a second up to `fim` s, on the workload of the stage started
// last, at the heart rate fc(t) (0: none).
struct TTeste {
    TSessao sessao;
    TPaciente paciente;
    QList<TAmostraRegistro> amostras;
    QList<TEventoRegistro> eventos;

    void Amostras(int fim, int (*fc)(int))
    {
        for (int t = 0; t <= fim; ++t) {
            const TEventoRegistro *e = nullptr;
            for (const TEventoRegistro &x : eventos)
                if (x.tipo == QLatin1String("estagio") && x.tempoMs <= t * 1000)
                    e = &x;
            TAmostraRegistro a;
            a.tempoMs = t * 1000;
            a.fase = e->fase;
            a.estado = e->estado;
            a.velocidadeConfirmada = e->velocidade;
            a.inclinacaoConfirmada = e->inclinacao;
            a.frequenciaCardiaca = fc(t);
            amostras << a;
        }
    }
    TResultadosClinicos Calcular() const
    {
        return TAvaliacaoClinica::Calcular(sessao, paciente, amostras, eventos);
    }
};

// Bruce, stages 1-3 (2.7/10, 4.0/12, 5.5/14) then the recovery from 8:00 at 2.5 km/h; a man
// of 60 on the test's date (220 - 60 = 160 bpm). Rate 100, 120, 140 in the stages; in recovery
// 128 to 9:59, 110 to 10:49, then no signal and a typed 100 at 11:03; a typed 101 at the
// first blood pressure's second.
TTeste Bruce()
{
    TTeste t;
    t.sessao.protocoloId = QStringLiteral("bruce");
    t.sessao.inicio = QDateTime(QDate(2024, 5, 20), QTime(10, 0));
    t.paciente.nascimento = QStringLiteral("10/03/1964");
    t.paciente.sexo = QStringLiteral("M");
    t.eventos = {Estagio(0, 1, 1, 2.7, 10), Estagio(180, 1, 2, 4.0, 12),
                 Estagio(360, 1, 3, 5.5, 14), Estagio(480, 2, 4, 2.5, 0)};
    t.Amostras(720, [](int s) {
        return s < 180 ? 100 : s < 360 ? 120 : s < 480 ? 140 : s < 600 ? 128 : s < 650 ? 110 : 0;
    });
    t.eventos << Evento(170, "pa", 1, 140, 80) << Evento(170, "fc", 1, 101)
              << Evento(350, "pa", 1, 160, 82) << Evento(470, "pa", 1, 150, 84)
              << Evento(600, "pa", 2, 130, 80) << Evento(663, "fc", 2, 100);
    return t;
}

}  // namespace

class TstAvaliacaoClinica : public QObject {
    Q_OBJECT

private slots:
    // Each equation's value against its hand-worked figure.
    void equacoes_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<double>("esperado");
        using M = TEquacoesMetabolicas;
        using A = TAvaliacaoClinica;
        // ACSM: walking 3.5 + 0.1 S + 1.8 S G below 8.0 km/h, running 3.5 + 0.2 S + 0.9 S G.
        QTest::newRow("parada") << M::Vo2(0, 10) << 3.5;
        QTest::newRow("2.7/10") << M::Vo2(2.7, 10) << 16.1;         // S 45: 3.5 + 4.5 + 8.1
        QTest::newRow("5.5/14") << M::Vo2(5.5, 14) << 35.76667;     // S 91.667: + 9.1667 + 23.1
        QTest::newRow("-5 % como 0") << M::Vo2(5, -5) << 11.83333;  // S 83.333: 3.5 + 8.3333
        QTest::newRow("7.99 caminhada") << M::Vo2(7.99, 0) << 16.81667;  // S 133.167: + 13.3167
        QTest::newRow("8.0 corrida") << M::Vo2(8, 0) << 30.16667;        // S 133.333: + 26.667
        QTest::newRow("8.0/18") << M::Vo2(8, 18) << 51.76667;            // 3.5 + 26.667 + 21.6
        QTest::newRow("METs 2.7/10") << M::Mets(2.7, 10) << 4.6;         // 16.1 / 3.5
        // Foster et al. 1984: 14.76 - 1.379 T + 0.451 T^2 - 0.012 T^3.
        QTest::newRow("Foster 0") << A::Vo2maxFoster(0) << 14.76;
        QTest::newRow("Foster 3") << A::Vo2maxFoster(3) << 14.358;   // - 4.137 + 4.059 - 0.324
        QTest::newRow("Foster 9") << A::Vo2maxFoster(9) << 30.132;   // - 12.411 + 36.531 - 8.748
        QTest::newRow("Foster 12") << A::Vo2maxFoster(12) << 42.42;  // - 16.548 + 64.944 - 20.736
        // (peak - rest) / (predicted - rest).
        QTest::newRow("IC 140, 60, 160") << *A::IndiceCronotropico(140, 60, 160).valor << 0.80;
        QTest::newRow("IC 121, 60, 160") << *A::IndiceCronotropico(121, 60, 160).valor << 0.61;
        // Whole years on the date; -1: not available, with a reason.
        const auto anos = [](const char *nascimento, QDate data) {
            const TResultado<int> r = TIdade::NaData(QString::fromUtf8(nascimento), data);
            return r.Disponivel() == r.motivo.isEmpty() ? double(r.valor.value_or(-1)) : -2.0;
        };
        QTest::newRow("véspera") << anos("15/06/1980", {2024, 6, 14}) << 43.0;
        QTest::newRow("aniversário") << anos("15/06/1980", {2024, 6, 15}) << 44.0;
        QTest::newRow("ISO") << anos(" 1980-06-15 ", {2024, 6, 15}) << 44.0;
        QTest::newRow("29/02, ano comum") << anos("29/02/2000", {2023, 2, 28}) << 22.0;
        QTest::newRow("29/02, 1º de março") << anos("29/02/2000", {2023, 3, 1}) << 23.0;
        QTest::newRow("vazia") << anos("", {2024, 1, 1}) << -1.0;
        QTest::newRow("31/02") << anos("31/02/1980", {2024, 1, 1}) << -1.0;
        QTest::newRow("depois do teste") << anos("02/01/2024", {2024, 1, 1}) << -1.0;
        QTest::newRow("sem data do teste") << anos("15/06/1980", QDate()) << -1.0;
        // 220 - age; Tanaka et al. 2001: 208 - 0.7 age.
        QTest::newRow("220 - 40") << A::FcMaximaPrevista(40, Formula::Idade220) << 180.0;
        QTest::newRow("Tanaka 40") << A::FcMaximaPrevista(40, Formula::Tanaka) << 180.0;
        QTest::newRow("Tanaka 45") << A::FcMaximaPrevista(45, Formula::Tanaka) << 176.5;
        // Mark et al. 1987: minutes - 5 ST - 4 angina.
        QTest::newRow("Duke 9, 0, 1") << A::EscoreDuke(9, 0, 1) << 5.0;
        QTest::newRow("Duke 3, 2, 1") << A::EscoreDuke(3, 2, 1) << -11.0;
        QTest::newRow("Duke 5, 2.5, 2") << A::EscoreDuke(5, 2.5, 2) << -15.5;
    }
    void equacoes()
    {
        QFETCH(double, valor);
        QFETCH(double, esperado);
        QVERIFY2(Perto(valor, esperado), qPrintable(QString::number(valor)));
        QVERIFY(!TAvaliacaoClinica::IndiceCronotropico(150, 160, 160).Disponivel());
    }

    // Every flag, band and warning at its boundary. Chronotropic index, rest 60 and predicted 160:
    // low below 0.80, or 0.62 with a beta blocker. Duke: low from +5, high at -11 and below.
    void limites_data()
    {
        QTest::addColumn<bool>("sinal");
        QTest::addColumn<bool>("esperado");
        const auto baixo = [](int pico, bool betabloqueador) {
            const double i = *TAvaliacaoClinica::IndiceCronotropico(pico, 60, 160).valor;
            return TAvaliacaoClinica::IndiceCronotropicoBaixo(i, betabloqueador);
        };
        const auto faixa = [](double escore, F f) {
            return TAvaliacaoClinica::FaixaDuke(escore) == f;
        };
        QTest::newRow("IC 0.80") << baixo(140, false) << false;
        QTest::newRow("IC 0.79") << baixo(139, false) << true;
        QTest::newRow("IC 0.62, betabloqueado") << baixo(122, true) << false;
        QTest::newRow("IC 0.61, betabloqueado") << baixo(121, true) << true;
        QTest::newRow("IC 0.62 sem betabloqueador") << baixo(122, false) << true;
        QTest::newRow("Duke +5") << faixa(5, F::Baixo) << true;
        QTest::newRow("Duke +4.5") << faixa(4.5, F::Moderado) << true;
        QTest::newRow("Duke -10.5") << faixa(-10.5, F::Moderado) << true;
        QTest::newRow("Duke -11") << faixa(-11, F::Alto) << true;
        // Warnings: HR above the limit (160), systolic above 250, diastolic above 115, during
        // exercise a fall of more than 10 from the entry before.
        const auto avisos = [](int fc, int sistolica, int diastolica, int antes, bool exercicio) {
            const TAlertasClinicos::TMomento m{fc,
                                               TAlertasClinicos::TPressao{sistolica, diastolica},
                                               TAlertasClinicos::TPressao{antes, 80}, exercicio};
            return TAlertasClinicos::Avisos(m, {160.0, QString()}).size();
        };
        QTest::newRow("avisos no limite") << (avisos(160, 250, 115, 260, true) == 0) << true;
        QTest::newRow("avisos acima") << (avisos(161, 251, 116, 262, true) == 4) << true;
        QTest::newRow("queda na recuperação") << (avisos(0, 200, 80, 220, false) == 0) << true;
        // Blood pressure over the exercise entries, resting systolic 120: a rise below 20, one
        // below the resting systolic, hypertensive from 210 (men) and 190 (women).
        const auto pas = [](const char *sexo, const QList<int> &sistolicas) {
            TTeste t;
            t.paciente.sexo = QString::fromLatin1(sexo);
            t.sessao.sistolicaRepouso = 120;
            t.eventos << Estagio(0, 1, 1, 2.7, 10);
            for (int i = 0; i < sistolicas.size(); ++i)
                t.eventos << Evento(60 * (i + 1), "pa", 1, sistolicas.at(i), 80);
            t.Amostras(300, [](int) { return 100; });
            return t.Calcular();
        };
        QTest::newRow("aumento 20") << *pas("M", {140}).aumentoSistolicoBaixo.valor << false;
        QTest::newRow("aumento 19") << *pas("M", {139}).aumentoSistolicoBaixo.valor << true;
        QTest::newRow("no repouso") << *pas("M", {120}).quedaSistolicaExercicio.valor << false;
        QTest::newRow("abaixo") << *pas("M", {150, 119}).quedaSistolicaExercicio.valor << true;
        QTest::newRow("homem 210") << *pas("M", {210}).respostaHipertensiva.valor << true;
        QTest::newRow("homem 209") << *pas("M", {209}).respostaHipertensiva.valor << false;
        QTest::newRow("mulher 190") << *pas("F", {190}).respostaHipertensiva.valor << true;
        QTest::newRow("mulher 189") << *pas("F", {189}).respostaHipertensiva.valor << false;
    }
    void limites()
    {
        QFETCH(bool, sinal);
        QFETCH(bool, esperado);
        QCOMPARE(sinal, esperado);
    }

    // The Bruce test above with resting values (70 bpm, 120/80) and ST 1 mm with angina.
    void sessaoBruce()
    {
        TTeste t = Bruce();
        t.sessao.fcRepouso = 70;
        t.sessao.sistolicaRepouso = 120;
        t.sessao.desvioStMm = 1.0;
        t.sessao.indiceAngina = 1;
        const TResultadosClinicos r = t.Calcular();
        QCOMPARE(*r.exercicioMs.valor, qint64(480000));
        QVERIFY(Perto(*r.metsPico.valor, 35.76667 / 3.5));  // stage 3, 5.5 km/h 14 %
        QCOMPARE(r.metodoVo2max, QStringLiteral("Foster (Bruce)"));
        QVERIFY(Perto(*r.vo2max.valor, 26.448));  // T 8: 14.76 - 11.032 + 28.864 - 6.144
        QCOMPARE(*r.fcAlvo.valor, 136.0);         // 85 % of 160
        QCOMPARE(*r.fcPico.valor, 140);
        QCOMPARE(*r.fracaoFcPrevista.valor, 0.875);
        QVERIFY(*r.fcAlvoAtingida.valor);
        QVERIFY(Perto(*r.indiceCronotropico.valor, 70.0 / 90.0));
        QVERIFY(*r.indiceCronotropicoBaixo.valor);
        QCOMPARE(*r.recuperacaoFc[0].valor, 12);  // 140 - 128: exactly 12, flagged
        QVERIFY(*r.recuperacaoFcBaixa.valor);
        QCOMPARE(*r.recuperacaoFc[1].valor, 30);  // 140 - 110
        QCOMPARE(*r.recuperacaoFc[2].valor, 40);  // 140 - the typed 100, 3 s from 11:00
        QCOMPARE(r.duplosProdutos.size(), 4);
        QCOMPARE(*r.duplosProdutos.at(0).valor.valor, 14140);  // the typed 101 x 140
        QCOMPARE(*r.duplosProdutos.at(3).valor.valor, 14300);  // 110 x 130
        QCOMPARE(*r.duploProdutoPico.valor, 21000);            // 140 x 150
        QVERIFY(!*r.aumentoSistolicoBaixo.valor);              // 160 - 120 = 40
        QCOMPARE(*r.escoreDuke.valor, -1.0);                   // 8 - 5 - 4
        QCOMPARE(*r.faixaDuke.valor, F::Moderado);
        // Stage 4, the recovery's 2.5 km/h: S 41.667, 3.5 + 4.1667 = 7.6667.
        QVERIFY(Perto(r.estagios.at(3).mets, 7.66667 / 3.5));
        QVERIFY(r.avisos.isEmpty());  // 150 after 160 is a fall of exactly 10

        const QJsonObject j = TJsonClinico::Converter(r);
        QCOMPARE(j.value("tempo_exercicio_s").toDouble(), 480.0);
        QCOMPARE(j.value("mets_pico").toDouble(), 10.2);
        QCOMPARE(j.value("indice_cronotropico").toDouble(), 0.78);
        QCOMPARE(j.value("faixa_duke").toString(), QStringLiteral("moderado"));
        QCOMPARE(j.value("estagios").toArray().at(0).toObject().value("mets").toDouble(), 4.6);
        QVERIFY(j.value("motivos").toObject().isEmpty());
    }

    // Without resting values, ST and angina those results are not available, with reasons;
    // a woman's 190 is hypertensive, 170 bpm is above a Tanaka limit of 166, and the entry
    // after the 190 falls by 40.
    void sessaoSemRepouso()
    {
        TTeste t = Bruce();
        t.paciente.sexo = QStringLiteral("F");
        t.sessao.formulaFcMaxima = Formula::Tanaka;  // 208 - 42 = 166 for a woman of 60
        t.eventos << Evento(400, "pa", 1, 190, 90) << Evento(401, "fc", 1, 170);
        const TResultadosClinicos r = t.Calcular();
        QVERIFY(Perto(*r.fcMaximaPrevista.valor, 166));
        QVERIFY(*r.respostaHipertensiva.valor);
        const QJsonObject j = TJsonClinico::Converter(r);
        const QJsonObject motivos = j.value("motivos").toObject();
        for (const char *chave :
             {"indice_cronotropico", "aumento_sistolico_baixo", "escore_duke", "faixa_duke"}) {
            QVERIFY2(j.value(chave).isNull(), chave);
            QVERIFY2(!motivos.value(chave).toString().isEmpty(), chave);
        }
        QVERIFY(motivos.value("escore_duke").toString().contains("não informados"));
        // 170 bpm at 6:41, then 190 at 6:40 falling to 150 at 7:50.
        QCOMPARE(r.avisos.size(), 2);
        QCOMPARE(r.avisos.at(0).tempoMs, qint64(401000));
        QVERIFY(r.avisos.at(1).texto.contains("190 → 150"));
    }

    // Modified Bruce stopped in its Bruce stage 2: the Bruce time starts at its third stage and
    // the exercise ends at the stop, so the entries after it are recovery readings.
    void bruceModificadoParado()
    {
        TTeste t;
        t.sessao.protocoloId = QStringLiteral("bruce-modificado");
        t.eventos = {Estagio(0, 1, 1, 2.7, 0), Estagio(180, 1, 2, 2.7, 5),
                     Estagio(360, 1, 3, 2.7, 10), Estagio(540, 1, 4, 4.0, 12)};
        t.Amostras(600, [](int) { return 0; });
        TEventoRegistro parada = Evento(600, "estado", 1);
        parada.estado = int(TEstadoExecucao::Parado);
        t.eventos << Evento(590, "fc", 1, 150) << parada << Evento(660, "fc", 1, 137)
                  << Evento(730, "fc", 1, 120) << Evento(791, "fc", 1, 110);
        const TResultadosClinicos r = t.Calcular();
        QCOMPARE(*r.exercicioMs.valor, qint64(600000));
        QCOMPARE(r.metodoVo2max, QStringLiteral("Foster (Bruce modificado)"));
        QVERIFY(Perto(*r.vo2max.valor, 15.692));  // T 4: 14.76 - 5.516 + 7.216 - 0.768
        QCOMPARE(*r.fcPico.valor, 150);
        QCOMPARE(*r.recuperacaoFc[0].valor, 13);  // 150 - 137: not flagged
        QVERIFY(!*r.recuperacaoFcBaixa.valor);
        QCOMPARE(*r.recuperacaoFc[1].valor, 30);    // the reading 10 s after 2 min counts
        QVERIFY(!r.recuperacaoFc[2].Disponivel());  // 11 s after 3 min does not
        t.eventos.remove(2, 4);                     // stopped in its second stage: no Bruce time
        t.amostras.resize(400);
        QVERIFY(t.Calcular().vo2max.motivo.contains("antes do estágio 1"));
    }

    // Limited Bruce stages, or another protocol: ACSM's VO2 of the peak workload, no Duke.
    void vo2maxAcsm()
    {
        TTeste t = Bruce();
        t.eventos[2].velocidade = 5.0;  // stage 3 sent at 5.0 km/h instead of 5.5
        t.amostras.clear();
        t.Amostras(720, [](int) { return 0; });
        TResultadosClinicos r = t.Calcular();
        QCOMPARE(r.metodoVo2max, QStringLiteral("ACSM, carga de pico"));
        QVERIFY(Perto(*r.vo2max.valor, 32.83333));  // S 83.333: 3.5 + 8.333 + 21
        QVERIFY(!r.escoreDuke.Disponivel());
        t.sessao.protocoloId = QStringLiteral("balke-ware");
        r = t.Calcular();
        QCOMPARE(r.metodoVo2max, QStringLiteral("ACSM, carga de pico"));
        QVERIFY(r.escoreDuke.motivo.contains("Bruce"));
        // No sensor: the only exercise rate is the typed 101, and none is near 9:00.
        QCOMPARE(*r.fcPico.valor, 101);
        QVERIFY(r.recuperacaoFc[0].motivo.contains("1 min"));
    }

    // A file of schema 4, as that version made it, opens migrated with the new columns empty;
    // the clinical inputs are then written and read back.
    void migraDaVersao4()
    {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath("v4.db");
        {
            TBancoSessoes banco;
            QString erro;
            QVERIFY(banco.Abrir(caminho, &erro));
            QSqlQuery q(banco.Conexao());
            for (const char *coluna :
                 {"betabloqueador", "fc_repouso", "pas_repouso", "pad_repouso", "desvio_st_mm",
                  "indice_angina", "formula_fc_maxima", "percentual_fc_alvo", "fc_limite"})
                QVERIFY(q.exec(QStringLiteral("ALTER TABLE sessoes DROP COLUMN %1").arg(coluna)));
            // and what version 6 added (the station, the server's spool table)
            for (const char *comando :
                 {"DROP INDEX sessoes_estacao", "ALTER TABLE sessoes DROP COLUMN estacao",
                  "DROP TABLE filas_encaminhadas"})
                QVERIFY2(q.exec(comando), comando);
            QVERIFY(
                q.exec("INSERT INTO sessoes (id, inicio, situacao, protocolo_id)"
                       " VALUES (7, '2024-05-20T10:00:00.000Z', 'concluida', 'bruce')"));
            QVERIFY(q.exec("PRAGMA user_version=4"));
        }
        TBancoSessoes banco;
        QString erro;
        QVERIFY2(banco.Abrir(caminho, &erro), qPrintable(erro));
        QSqlQuery q(banco.Conexao());
        QVERIFY(q.exec("PRAGMA user_version") && q.next());
        QCOMPARE(q.value(0).toInt(), TBancoSessoes::kVersaoEsquema);
        TSessao s = *banco.LerSessao(7);
        QCOMPARE(s.protocoloId, QStringLiteral("bruce"));
        QVERIFY(!s.betabloqueador && !s.fcRepouso && !s.sistolicaRepouso && !s.desvioStMm &&
                !s.indiceAngina && !s.fcLimite && s.formulaFcMaxima == Formula::Idade220 &&
                s.percentualFcAlvo == 85);
        s.betabloqueador = true;
        s.fcRepouso = 64;
        s.sistolicaRepouso = 118;
        s.diastolicaRepouso = 76;
        s.desvioStMm = 1.5;
        s.indiceAngina = 0;  // none: stored, not empty
        s.formulaFcMaxima = Formula::Tanaka;
        s.percentualFcAlvo = 90;
        QVERIFY2(banco.AtualizarDadosClinicos(s, &erro), qPrintable(erro));
        const TSessao l = *banco.LerSessao(7);
        const auto campos = [](const TSessao &x) {
            return std::tuple(x.betabloqueador, x.fcRepouso, x.sistolicaRepouso,
                              x.diastolicaRepouso, x.desvioStMm, x.indiceAngina, x.formulaFcMaxima,
                              x.percentualFcAlvo, x.fcLimite);
        };
        QVERIFY(campos(l) == campos(s));
        s.id = 8;
        QVERIFY(!banco.AtualizarDadosClinicos(s, &erro));
    }
};

QTEST_GUILESS_MAIN(TstAvaliacaoClinica)
#include "tst_avaliacaoclinica.moc"

#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "kestrova_session_export.h"
#include "session/graficosessao.h"
#include "session/laboratorio.h"
#include "session/registrossessao.h"
#include "session/resumosessao.h"

class TBancoSessoes;
class TInterfaceImpressora;
class TvtxGraph;

// The printed report of one session, on A4 pages of the current printer (platform/printer.h):
// the laboratory's header when one is set (TLaboratorio), the patient block with the age on the
// test's date and the beta blocker, protocol, limits, date and duration, the stage table (with
// each stage's end, METs and rate-pressure product, and its skipped and held marks), peaks, stop
// reason, the clinical results and the test's warnings, comments, the belt chart (TvtxGraph's own
// printing) with its legend and under it, when the session has a heart rate or a blood
// pressure, the heart-rate chart (TGraficoCardiaco) with its own, and last the physician's
// conclusion and signature lines. One page for a typical test: when the stage table needs more it
// goes on to the next page under its header again, and the rest follows it.
//
// session/ computes no clinical result: the caller fills the results, the age and the stages'
// METs and rate-pressure products (clinical/relatorioclinico.h, TRelatorioClinico::Carregar, which
// every program prints through); left empty, the report prints without them.
//
// The page is laid out in screen units on a page kLarguraPagina wide, the unit of the printable
// edit's boxes: each patient field is printed in the box CaixasPaciente names, with the font and
// scale TInterfaceImpressora measures with, so a text its TEditImp accepted fits on paper.
class KESTROVA_SESSION_EXPORT TRelatorioSessao {
public:
    static constexpr int kLarguraPagina = 504;

    struct TCaixa {
        QString campo;   // "nome", "identificador", ... (TPaciente's members)
        QString rotulo;  // printed above the box
        int x = 0, y = 0, largura = 0, altura = 0;
    };
    // A line of the results block: "Índice cronotrópico", "0.72 (baixo)"; a flagged one is
    // printed in bold after a "!".
    struct TLinhaResultado {
        QString rotulo, valor;
        bool alerta = false;
    };
    // A row of the stage table.
    struct TEstagio {
        TResumoEstagio resumo;
        std::optional<double> mets;       // of the speed and grade sent
        std::optional<int> duploProduto;  // at the stage's blood-pressure entry, bpm x mmHg
    };
    struct TDados {
        TLaboratorio laboratorio;
        TPaciente paciente;
        TSessao sessao;
        std::optional<int> idade;  // years on the test's date
        QList<TEstagio> estagios;
        TResumoSessao::TPicos picos;
        QList<TLinhaResultado> resultados;  // empty: no results block
        QStringList avisos;                 // "m:ss text", the warnings the test gave
        // The record: the heart-rate chart's, and what the clinical results come from.
        QList<TAmostraRegistro> amostras;
        QList<TEventoRegistro> eventos;
        // The unit the speeds are printed in (the record's are km/h); the caller sets it, and
        // draws the belt chart with the same.
        TEscalaVelocidade velocidade;
    };

    static QList<TCaixa> CaixasPaciente();
    static QFont FonteCampos();
    // Gives a printable edit's interface the report's box for `campo`.
    static void ConfigurarCaixa(TInterfaceImpressora &interface, const QString &campo);
    static QString ValorCampo(const TPaciente &paciente, const QString &campo);

    // The session, its patient (with the weight and height of the test's day), its record, the
    // stage table computed from the record, the peaks and the laboratory; no clinical results.
    static TDados Carregar(const TBancoSessoes &banco, qint64 sessaoId);
    // Prints the pages (BeginDoc ... EndDoc on Printer()); raises Exception when printing fails.
    // The belt chart is printed as it stands: redraw the session on it first. While it prints it
    // is set up for paper (white, wider lines, laid out at the printed size) and then left as it
    // was. The heart-rate chart is drawn here from the record in `dados`.
    static void Imprimir(const TDados &dados, TvtxGraph &grafico);
};

#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include "kestrova_session_export.h"
#include "session/registrossessao.h"
#include "session/resumosessao.h"

class TBancoSessoes;
class TInterfaceImpressora;
class TvtxGraph;

// The printed report of one session, on A4 pages of the current printer (platform/printer.h):
// the patient block, protocol, limits, date and duration, the stage table, peaks, stop reason,
// comments and the belt chart (TvtxGraph's own printing) with its legend, and under it, when the
// session has a heart rate or a blood pressure, the heart-rate chart (TGraficoCardiaco) with its
// own. One page unless the stage table needs more: it then goes on to the next page under its
// header again, and the rest follows it.
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
    struct TDados {
        TPaciente paciente;
        TSessao sessao;
        QList<TResumoEstagio> estagios;
        TResumoSessao::TPicos picos;
        // The record, for the heart-rate chart.
        QList<TAmostraRegistro> amostras;
        QList<TEventoRegistro> eventos;
    };

    static QList<TCaixa> CaixasPaciente();
    static QFont FonteCampos();
    // Gives a printable edit's interface the report's box for `campo`.
    static void ConfigurarCaixa(TInterfaceImpressora &interface, const QString &campo);
    static QString ValorCampo(const TPaciente &paciente, const QString &campo);

    static TDados Carregar(const TBancoSessoes &banco, qint64 sessaoId);
    // Prints the pages (BeginDoc ... EndDoc on Printer()); raises Exception when printing fails.
    // The belt chart is printed as it stands: redraw the session on it first. While it prints it
    // is set up for paper (white, wider lines, laid out at the printed size) and then left as it
    // was. The heart-rate chart is drawn here from the record in `dados`.
    static void Imprimir(const TDados &dados, TvtxGraph &grafico);
};

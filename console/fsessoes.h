#pragma once

#include "kestrova_console_export.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSplitter;
class QSqlQueryModel;
class TBancoSessoes;
class TDBGridKpr;
class TGraficoCardiaco;
class TGraficoSessao;
class TvtxGraph;

// The sessions browser: a TDBGridKpr over the sessions and their patients, with a search; the
// chosen session's charts redrawn (the belt, and the heart rate under it), its events, and its
// report and CSV export. Its size and the
// split between the list and the detail are kept in the console's settings.
class KESTROVA_CONSOLE_EXPORT TfrmSessoes : public QDialog {
    Q_OBJECT
public:
    TfrmSessoes(TBancoSessoes *banco, QWidget *parent = nullptr);
    ~TfrmSessoes() override;

    // Report (to a PDF file, or the system printer when the path is empty) and CSV export.
    std::function<void(qint64 sessao, const QString &pdf)> OnRelatorio;
    std::function<void(qint64 sessao, const QString &arquivo, bool separadorDoLocal)> OnCsv;

    // While a test runs, the actions that open a dialog (which would block PARAR) are off.
    void AjustarEmTeste(bool emTeste);

    TDBGridKpr *Grade() const { return FGrade; }
    qint64 SessaoSelecionada() const;
    void Mostrar(qint64 sessaoId);
    // Shows only the sessions whose patient, identifier, protocol or date hold every word of
    // texto (case and accents aside); the count of those shown is in lblContagemSessoes.
    void Filtrar(const QString &texto);
    // Reads the list again (sessions recorded meanwhile at any station), of the chosen station.
    void Atualizar();
    // Clears the search and makes the session current; false when it is not in the list.
    bool Selecionar(qint64 sessao);

    // The file name a save dialog proposes for a session: the patient's name and the test's
    // local date and time, in the folder last saved to ("Ana Souza 2026-12-09 14h05.pdf").
    static QString ArquivoProposto(const TBancoSessoes &banco, qint64 sessao,
                                   const QString &extensao);
    // Remembers the folder of a file just saved, for the next proposal.
    static void LembrarPasta(const QString &arquivo);

protected:
    void done(int resultado) override;

private:
    void GuardarAparencia() const;
    void ListarEstacoes();
    QString SalvarComo(const QString &titulo, const QString &extensao, const QString &filtro);

    QLineEdit *FBusca = nullptr;
    QComboBox *FEstacao = nullptr;
    QLabel *FContagem = nullptr;
    QSplitter *FDivisao = nullptr;
    TBancoSessoes *FBanco;
    TDBGridKpr *FGrade = nullptr;
    QSqlQueryModel *FModelo = nullptr;
    TvtxGraph *FGrafico = nullptr;
    std::unique_ptr<TGraficoSessao> FDesenho;
    TvtxGraph *FGraficoCardiaco = nullptr;
    std::unique_ptr<TGraficoCardiaco> FDesenhoCardiaco;
    QListWidget *FEventos = nullptr;
    QLabel *FResumo = nullptr;
    QCheckBox *FSeparadorLocal = nullptr;
    QList<QWidget *> FDialogos;  // the actions that open a dialog
};

#pragma once

#include "kestrova_console_export.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;
class QSqlQueryModel;
class TBancoSessoes;
class TDBGridKpr;
class TGraficoSessao;
class TvtxGraph;

// The sessions browser: a TDBGridKpr over the sessions and their patients; the chosen session's
// chart redrawn, its events, and its report and CSV export.
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

private:
    TBancoSessoes *FBanco;
    TDBGridKpr *FGrade = nullptr;
    QSqlQueryModel *FModelo = nullptr;
    TvtxGraph *FGrafico = nullptr;
    std::unique_ptr<TGraficoSessao> FDesenho;
    QListWidget *FEventos = nullptr;
    QLabel *FResumo = nullptr;
    QCheckBox *FSeparadorLocal = nullptr;
    QList<QWidget *> FDialogos;  // the actions that open a dialog
};

#pragma once

#include "kestrova_console_export.h"

#include <QDialog>
#include <QMessageBox>
#include <array>
#include <functional>

#include "protocol/bibliotecaprotocolos.h"
#include "protocol/editorprotocolo.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class TGraficoPrevia;

// "Protocolos > Editor...": the library's protocols (built-ins read-only, the user's files
// editable), the chosen one's steps in a table per phase, and beside them the preview of what
// the board will receive. The edits live in a TEditorProtocolo (protocol/); this window only
// shows them and passes the technician's actions on. It never talks to the board, and a test
// already running keeps the protocol it started with.
class KESTROVA_CONSOLE_EXPORT TfrmEditorProtocolos : public QDialog {
    Q_OBJECT
public:
    // pasta: the user's protocol folder (empty: the default one).
    explicit TfrmEditorProtocolos(const QString &pasta = {}, QWidget *parent = nullptr);
    ~TfrmEditorProtocolos() override;

    TEditorProtocolo *Editor() const { return FEditor; }
    QString PastaRascunhos() const;
    // Chooses a protocol in the list (asking about unsaved edits first); false when absent.
    bool Selecionar(const QString &id);
    bool Salvar();
    // Whether a protocol file changed while the window was open (the console then reloads).
    bool Alterou() const { return FbAlterou; }

    // The questions and file boxes, replaceable so tests can answer them.
    std::function<QMessageBox::StandardButton(const QString &texto,
                                              QMessageBox::StandardButtons botoes)>
        OnPerguntar;
    std::function<QString(bool salvar, const QString &proposto)> OnEscolherArquivo;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QWidget *CriarLista();
    QWidget *CriarEdicao();
    QWidget *CriarPrevia();
    QTableWidget *CriarTabela(TFase fase);
    void RecarregarLista(const QString &escolher);
    void Abrir(const TProtocolo &protocolo);
    void Mostrar();
    void MostrarTabela(TFase fase);
    void MostrarPrevia();
    void AtualizarBotoes();
    // Asks what to do with unsaved edits; false when the technician cancels.
    bool PodeSair();
    void Novo();
    void Duplicar();
    void Renomear();
    void Excluir();
    void Importar();
    void Exportar();
    void AgirNaLinha(const std::function<void(TFase fase, int linha)> &acao);
    QMessageBox::StandardButton Perguntar(const QString &texto,
                                          QMessageBox::StandardButtons botoes);

    TBibliotecaProtocolos FBiblioteca;
    TEditorProtocolo *FEditor = nullptr;
    bool FbAlterou = false;
    bool FbMostrando = false;
    TFase FFaseAtual = TFase::Exercicio;
    QListWidget *FLista = nullptr;
    QPushButton *FRenomear = nullptr, *FExcluir = nullptr, *FSalvar = nullptr;
    QList<QWidget *> FSoEditaveis;
    QLineEdit *FNome = nullptr, *FDescricao = nullptr, *FFonte = nullptr;
    QLabel *FArquivo = nullptr, *FProblemas = nullptr, *FDigitando = nullptr;
    std::array<QTableWidget *, 3> FTabelas{};
    TGraficoPrevia *FGrafico = nullptr;
    QLabel *FResumo = nullptr, *FLimitacoes = nullptr;
    QTreeWidget *FEtapas = nullptr;
};

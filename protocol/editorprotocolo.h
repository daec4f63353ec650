#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

#include "kestrova_protocol_export.h"
#include "protocol/fase.h"
#include "protocol/previaprotocolo.h"
#include "protocol/protocolo.h"
#include "protocol/unidadevelocidade.h"

class QUndoStack;

// The protocol being edited, without widgets: its steps as the technician typed them (texts in
// any locale's form, so a half-typed value is kept and reported rather than lost), its edits as
// undoable commands (Pilha()), the problems of each row and field judged by the file loader's
// own rules (TRegrasProtocolo), and the preview of what the board will receive
// (TPreviaProtocolo, on the runner's plan). Nothing here talks to a board or to a running test.
class KESTROVA_PROTOCOL_EXPORT TEditorProtocolo : public QObject {
    Q_OBJECT

public:
    // The typed fields of a step. A stage has the first three; a ramp all five.
    enum class TCampo { Duracao, Velocidade, Inclinacao, VelocidadeFinal, InclinacaoFinal };
    static constexpr int kCampos = 5;

    struct TLinha {
        TPasso::TTipo tipo = TPasso::TTipo::Estagio;
        std::array<QString, kCampos> textos;
        const QString &Texto(TCampo campo) const { return textos[size_t(campo)]; }
        bool operator==(const TLinha &) const = default;
    };
    // One problem: a field of a row (linha >= 0), or the protocol's name or an empty exercise
    // (linha -1, campo unset). texto is the loader's sentence.
    struct TProblema {
        TFase fase = TFase::Exercicio;
        int linha = -1;
        std::optional<TCampo> campo;
        QString texto;
    };

    explicit TEditorProtocolo(TPreviaProtocolo::TFuncaoMets mets = {},
                              const QLocale &locale = QLocale(), QObject *parent = nullptr);
    ~TEditorProtocolo() override;

    // Starts editing a protocol (a built-in is shown read-only); forgets the undo history.
    void Abrir(const TProtocolo &protocolo);
    QString Id() const { return FId; }
    bool SomenteLeitura() const { return FSomenteLeitura; }
    QString Nome() const;
    QString Descricao() const;
    QString Fonte() const;
    int Linhas(TFase fase) const;
    TLinha Linha(TFase fase, int linha) const;
    // The protocol as the rows read now (meaningful when Valido()).
    TProtocolo Protocolo() const;
    const TUnidadeVelocidade &Unidade() const { return FUnidade; }
    // The unit the speed cells are typed in (km/h by default); takes effect at the next Abrir.
    // In mph a typed speed is read as TUnidadeVelocidade::Kmh (quantised to the board's step)
    // and a file's speed is shown as the board's step converted back.
    void AjustarUnidade(const TUnidadeVelocidade &unidade) { FUnidade = unidade; }
    const QLocale &Locale() const { return FLocale; }

    // Edits: each is one command on Pilha() (undo, redo). Refused (false) when read-only or out
    // of range.
    bool AjustarTexto(TFase fase, int linha, TCampo campo, const QString &texto);
    bool AjustarTipo(TFase fase, int linha, TPasso::TTipo tipo);
    bool AjustarNome(const QString &nome);
    bool AjustarDescricao(const QString &descricao);
    bool AjustarFonte(const QString &fonte);
    // A new step at linha (0..Linhas), starting where the step before it ends.
    bool Inserir(TFase fase, int linha, TPasso::TTipo tipo);
    bool Remover(TFase fase, int linha);
    bool Mover(TFase fase, int linha, int destino);
    bool Copiar(TFase fase, int linha);  // the copy goes right after it
    QUndoStack *Pilha() const { return FPilha; }
    bool Modificado() const;

    // Validation, with the file loader's rules and sentences.
    QList<TProblema> Problemas() const;
    bool Valido() const;
    QString Problema(TFase fase, int linha, TCampo campo) const;
    // The problem a text would have in that field, judged while it is being typed.
    QString ProblemaDoTexto(TFase fase, int linha, TCampo campo, const QString &texto) const;
    // What the board's range would change in a row (TFaixaEsteira::LimitacoesDoPasso); a
    // protocol that needs clamping is valid and can be saved.
    QStringList Limitacoes(TFase fase, int linha) const;
    // The preview of the protocol as it reads now; empty while it has problems.
    const TPreviaProtocolo &Previa() const { return FPrevia; }

    // Writes the protocol as a file of format version 1 (pasta/<Id()>.json) atomically, after
    // checking that the loader reads it back; refused while it has problems.
    bool Salvar(const QString &pasta, QString *erro);
    // The edit in progress, texts included, written atomically after every change, so a killed
    // program loses nothing; Salvar removes it. Empty: no draft.
    void AjustarRascunho(const QString &caminho);
    // Puts a draft's edits over the protocol opened (one undoable command); false when the
    // draft is not this protocol's or cannot be read.
    bool RestaurarRascunho(const QString &caminho);
    void DescartarRascunho();

    // A duration as the table shows it ("3:00", "0:30,5") and reads it back ("3:00", "2,5" =
    // minutes); nullopt when it is not one.
    QString TextoDuracao(qint64 ms) const;
    std::optional<double> LerDuracaoS(const QString &texto) const;
    std::optional<double> LerNumero(const QString &texto) const;
    QString TextoNumero(double valor) const;
    // A speed in km/h as its cell shows it in Unidade().
    QString TextoVelocidade(double kmh) const;

signals:
    // After every change of the protocol (an edit, undo, redo, Abrir).
    void Mudou();

private:
    struct TDocumento {
        QString nome, descricao, fonte;
        std::array<QList<TLinha>, 3> fases;
        bool operator==(const TDocumento &) const = default;
    };
    class TComando;

    bool Aplicar(const QString &texto, const TDocumento &novo);
    void Trocar(const TDocumento &documento);
    void Recalcular();
    void GravarRascunho() const;
    TLinha LinhaDe(const TPasso &passo) const;
    static QList<TLinha> &Fase(TDocumento &documento, TFase fase);
    static const QList<TLinha> &Fase(const TDocumento &documento, TFase fase);
    bool Existe(TFase fase, int linha) const;

    TPreviaProtocolo::TFuncaoMets FMets;
    QLocale FLocale;
    TUnidadeVelocidade FUnidade;
    QUndoStack *FPilha = nullptr;
    TDocumento FDocumento;
    QString FId;
    bool FSomenteLeitura = false;
    QString FRascunho;
    QList<TProblema> FProblemas;
    TPreviaProtocolo FPrevia;
};

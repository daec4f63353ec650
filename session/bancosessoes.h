#pragma once

#include <QList>
#include <QLockFile>
#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QSqlQuery>

#include "kestrova_session_export.h"
#include "session/arquivopendentes.h"
#include "session/dialetobanco.h"
#include "session/enderecobanco.h"
#include "session/registrossessao.h"

// The session database: one SQLite file (write-ahead logging), or a PostgreSQL database a lab's
// stations share, holding patients, sessions, their 1 Hz samples, events and stage summaries,
// with a schema version (PRAGMA user_version, or the table versao_esquema) and the migrations
// that bring an older database up to date; the same schema on both (TDialetoBanco).
//
// Abrir refuses, with a message for the operator, a file that is not a database, a schema newer
// than this program knows, a folder that cannot be written, and a file another running program
// holds. Records a recorder kept in the side file because they could not be committed
// (TArquivoPendentes) are read back into the database. Sessions still marked as running when the
// file is opened (the program was killed) are then marked as interrupted, with their duration and
// stage table taken from what was recorded.
//
// On a server each session records the station that ran it; a station's name is held (an
// advisory lock) by one program at a time, a station only ever marks its own running sessions as
// interrupted, and its local spool (TFilaLocal) left by a program killed during an outage is
// forwarded first.
//
// The connection belongs to the thread that opened it (the main thread); the samples and events
// of a running test go through TGravadorSessao, which has its own connection.
class KESTROVA_SESSION_EXPORT TBancoSessoes {
public:
    static constexpr int kVersaoEsquema = 6;
    // Below this much free space a test does not start (a 60-minute test takes about 1 MB).
    static constexpr qint64 kEspacoMinimoPadrao = 16LL * 1024 * 1024;

    explicit TBancoSessoes(const QString &nomeConexao = QStringLiteral("kestrova-sessoes"));
    ~TBancoSessoes();
    TBancoSessoes(const TBancoSessoes &) = delete;
    TBancoSessoes &operator=(const TBancoSessoes &) = delete;

    // GenericDataLocation/kestrova/sessoes.sqlite (~/.local/share/kestrova/sessoes.sqlite)
    static QString CaminhoPadrao();
    // The host name: a station's name unless it is given one.
    static QString EstacaoPadrao();
    // The station this program records as (before Abrir).
    void AjustarEstacao(const QString &estacao);
    QString Estacao() const { return FEstacao; }

    // Opens (creating it when missing), checks and migrates the database: a file's path or a
    // postgresql:// address (TEnderecoBanco). false with *erro set.
    bool Abrir(const QString &endereco, QString *erro);
    void Fechar();
    bool Aberto() const { return FbAberto; }
    // The file, or the server's address, as the operator reads it.
    QString Caminho() const { return FCaminho; }
    const TEnderecoBanco &Endereco() const { return FEndereco; }
    // A server database's local spool.
    QString CaminhoFila() const { return FCaminhoFila; }
    // The connection; on a server one that stopped answering (a restart) is made anew first.
    QSqlDatabase Conexao() const;
    // Sessions found running and marked interrupted by the last Abrir.
    int Recuperadas() const { return FiRecuperadas; }
    // Records the last Abrir read back from the side file into the database.
    int RecuperadosDoArquivoPendente() const { return FiRecuperadosPendentes; }
    // What the last Abrir did with the side file, for the operator (how many records came back,
    // and the lines that could not be read, kept where); empty when there was no side file.
    QString AvisoArquivoPendente() const { return FAvisoPendentes; }

    // Whether a test can be recorded now: enough free space and a real write that commits.
    bool VerificarGravacao(QString *erro);
    void AjustarEspacoMinimo(qint64 bytes) { FiEspacoMinimo = bytes; }

    // A patient as the patient list shows it: the record, its latest test (invalid when none)
    // and how many tests it has.
    struct TPacienteEncontrado {
        TPaciente paciente;
        QDateTime ultimoTeste;  // UTC
        int testes = 0;
    };

    qint64 InserirPaciente(const TPaciente &paciente, QString *erro);
    // Rewrites the row paciente.id; false with *erro set when it fails or there is no such row.
    bool AtualizarPaciente(const TPaciente &paciente, QString *erro);
    // Inserts a new patient (id 0) or updates the chosen one; its id, 0 on failure.
    qint64 GravarPaciente(const TPaciente &paciente, QString *erro);
    // The patients whose name or identifier holds every word of `texto` (case and accents
    // ignored; all when it is blank), the latest tested first, then the newest rows; at most
    // `limite`.
    QList<TPacienteEncontrado> BuscarPacientes(const QString &texto, int limite = 500) const;
    // A patient's sessions, the latest first.
    QList<TSessao> SessoesDoPaciente(qint64 pacienteId) const;
    // The form a text is compared in by BuscarPacientes: case folded, accents removed.
    static QString TextoDeBusca(const QString &texto);
    // Inserts the session (situacao EmAndamento) and returns its id, 0 on failure.
    qint64 IniciarSessao(const TSessao &sessao, QString *erro);
    // Writes the end of a session (situation, end, duration, stop reason, comments) and its stage
    // table computed from what was recorded.
    bool FinalizarSessao(const TSessao &sessao, QString *erro);
    bool AtualizarComentarios(qint64 sessaoId, const QString &motivo, const QString &comentarios,
                              QString *erro);
    // Rewrites the clinical inputs of the row sessao.id (beta blocker to heart-rate limit, as
    // IniciarSessao wrote them): the ST deviation and angina index come after the test.
    bool AtualizarDadosClinicos(const TSessao &sessao, QString *erro);

    std::optional<TSessao> LerSessao(qint64 id) const;
    std::optional<TPaciente> LerPaciente(qint64 id) const;
    QList<TAmostraRegistro> LerAmostras(qint64 sessaoId) const;
    QList<TEventoRegistro> LerEventos(qint64 sessaoId) const;
    QList<TResumoEstagio> LerEstagios(qint64 sessaoId) const;

    // The sessions browser's rows: one per session with its patient, of one station or (empty)
    // of all.
    QSqlQuery ConsultarSessoes(const QString &estacao = QString()) const;
    // The stations that recorded sessions here, in order.
    QStringList Estacoes() const;
    // Stored text of a situation, and its Portuguese display text.
    static QString CodigoSituacao(TSessao::TSituacao situacao);
    static TSessao::TSituacao SituacaoDoCodigo(const QString &codigo);
    static QString NomeSituacao(TSessao::TSituacao situacao);
    // Stored text of a predicted-maximum formula ("220", "tanaka").
    static QString CodigoFormula(TSessao::TFormulaFcMaxima formula);
    static TSessao::TFormulaFcMaxima FormulaDoCodigo(const QString &codigo);

private:
    bool AbrirArquivo(QString *erro);
    bool AbrirServidor(QString *erro);
    bool TomarEstacao(QString *erro) const;
    bool Preparar(QString *erro);
    bool LerVersao(int *versao, QString *erro);
    bool Migrar(int versao, QString *erro);
    bool RecuperarPendentes(QString *erro);
    bool EncaminharFila(QString *erro);
    void SepararDesconhecidos(TArquivoPendentes::TLeitura &leitura) const;
    bool InserirPendentes(const QList<TArquivoPendentes::TPendente> &registros, QString *erro);
    QString DescreverPendentes(const TArquivoPendentes::TLeitura &leitura, bool removido) const;
    bool RecuperarInterrompidas(QString *erro);
    bool GravarEstagios(qint64 sessaoId, QString *erro);
    QString Falhou(const QString &oque, const QString &detalhe) const;

    QString FNomeConexao;
    QString FCaminho;
    TEnderecoBanco FEndereco;
    TDialetoBanco FDialeto;
    QString FEstacao;
    QString FCaminhoFila;
    QString FArquivoLocal;  // the file beside which the side file of unwritten records lives
    mutable QElapsedTimer FVerificada;
    std::unique_ptr<QLockFile> FTrava;
    qint64 FiEspacoMinimo = kEspacoMinimoPadrao;
    int FiRecuperadas = 0;
    int FiRecuperadosPendentes = 0;
    QString FAvisoPendentes;
    bool FbAberto = false;
};

#include "session/bancosessoes.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QSysInfo>
#include <QVariant>
#include <algorithm>

#include "session/conexaobanco.h"
#include "session/filalocal.h"
#include "session/insercaoregistros.h"
#include "session/motivoerro.h"
#include "session/resumosessao.h"

namespace {

// Migrations: element i brings a file from version i to version i + 1.
const QList<QStringList> &Migracoes()
{
    static const QList<QStringList> migracoes = {
        {
            QStringLiteral("CREATE TABLE pacientes (id INTEGER PRIMARY KEY, nome TEXT NOT NULL,"
                           " identificador TEXT, nascimento TEXT, sexo TEXT, peso TEXT,"
                           " altura TEXT, medico TEXT, observacoes TEXT)"),
            QStringLiteral(
                "CREATE TABLE sessoes (id INTEGER PRIMARY KEY,"
                " paciente_id INTEGER REFERENCES pacientes(id), protocolo_id TEXT,"
                " protocolo_nome TEXT, protocolo_passos TEXT, velocidade_maxima REAL,"
                " inclinacao_maxima REAL, recuperacao_ms INTEGER, recuperacao_velocidade REAL,"
                " recuperacao_inclinacao REAL, inicio TEXT NOT NULL, fim TEXT,"
                " duracao_ms INTEGER NOT NULL DEFAULT 0, situacao TEXT NOT NULL,"
                " motivo_parada TEXT, comentarios TEXT)"),
            QStringLiteral(
                "CREATE TABLE amostras (sessao_id INTEGER NOT NULL REFERENCES sessoes(id),"
                " tempo_ms INTEGER NOT NULL, estado INTEGER, fase INTEGER, estagio INTEGER,"
                " velocidade_alvo REAL, inclinacao_alvo REAL, velocidade_confirmada REAL,"
                " inclinacao_confirmada REAL, link_ok INTEGER, PRIMARY KEY (sessao_id, tempo_ms))"),
            QStringLiteral("CREATE TABLE eventos (id INTEGER PRIMARY KEY,"
                           " sessao_id INTEGER NOT NULL REFERENCES sessoes(id),"
                           " tempo_ms INTEGER NOT NULL, tipo TEXT NOT NULL, estado INTEGER,"
                           " fase INTEGER, estagio INTEGER, velocidade REAL, inclinacao REAL,"
                           " texto TEXT, valor1 REAL, valor2 REAL)"),
            QStringLiteral("CREATE INDEX eventos_sessao ON eventos (sessao_id, tempo_ms)"),
            QStringLiteral(
                "CREATE TABLE estagios (sessao_id INTEGER NOT NULL REFERENCES sessoes(id),"
                " ordem INTEGER NOT NULL, estagio INTEGER, fase INTEGER, inicio_ms INTEGER,"
                " fim_ms INTEGER, velocidade REAL, inclinacao REAL, frequencia_cardiaca INTEGER,"
                " pressao_sistolica INTEGER, pressao_diastolica INTEGER, borg INTEGER,"
                " PRIMARY KEY (sessao_id, ordem))"),
            QStringLiteral("CREATE TABLE verificacao (id INTEGER PRIMARY KEY, quando TEXT)"),
        },
        // The protocol's own speed and grade of a stage, where the test's limits changed them.
        {
            QStringLiteral("ALTER TABLE estagios ADD COLUMN velocidade_protocolo REAL NOT NULL"
                           " DEFAULT 0"),
            QStringLiteral("ALTER TABLE estagios ADD COLUMN inclinacao_protocolo REAL NOT NULL"
                           " DEFAULT 0"),
        },
        // The patient's weight and height on the test's day: they change between tests, and an
        // earlier report keeps its own.
        {
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN peso TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN altura TEXT NOT NULL DEFAULT ''"),
        },
        // The heart rate from a sensor, each second, and the RR intervals it sent.
        {
            QStringLiteral("ALTER TABLE amostras ADD COLUMN frequencia_cardiaca INTEGER"),
            QStringLiteral("ALTER TABLE amostras ADD COLUMN fonte_fc TEXT"),
            QStringLiteral("CREATE TABLE intervalos_rr (sessao_id INTEGER NOT NULL"
                           " REFERENCES sessoes(id), tempo_ms INTEGER NOT NULL,"
                           " ordem INTEGER NOT NULL, rr_ms INTEGER NOT NULL,"
                           " PRIMARY KEY (sessao_id, tempo_ms, ordem))"),
        },
        // The clinical inputs of a test; NULL where not informed (every older session).
        {
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN betabloqueador INTEGER NOT NULL"
                           " DEFAULT 0"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN fc_repouso INTEGER"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN pas_repouso INTEGER"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN pad_repouso INTEGER"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN desvio_st_mm REAL"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN indice_angina INTEGER"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN formula_fc_maxima TEXT NOT NULL"
                           " DEFAULT '220'"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN percentual_fc_alvo REAL NOT NULL"
                           " DEFAULT 85"),
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN fc_limite INTEGER"),
        },
        // The station that ran a session, and the last row each station's spool forwarded.
        {
            QStringLiteral("ALTER TABLE sessoes ADD COLUMN estacao TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("CREATE INDEX sessoes_estacao ON sessoes (estacao, situacao)"),
            QStringLiteral("CREATE TABLE filas_encaminhadas (fila TEXT PRIMARY KEY,"
                           " estacao TEXT NOT NULL, ultimo INTEGER NOT NULL)"),
        },
    };
    return migracoes;
}

QString Texto(const QDateTime &quando)
{
    return quando.isValid() ? quando.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime Data(const QVariant &valor)
{
    // Stored with a "Z": read back as UTC.
    return QDateTime::fromString(valor.toString(), Qt::ISODateWithMs);
}

// NULL for an empty value.
template <typename T>
QVariant Opcional(const std::optional<T> &valor)
{
    return valor ? QVariant::fromValue(*valor) : QVariant();
}

std::optional<int> Inteiro(const QVariant &valor)
{
    return valor.isNull() ? std::nullopt : std::optional<int>(valor.toInt());
}

// The clinical columns in ValoresClinicos' order, as IniciarSessao writes and LerSessao reads
// them.
const char kColunasClinicas[] =
    "betabloqueador, fc_repouso, pas_repouso, pad_repouso, desvio_st_mm, indice_angina,"
    " formula_fc_maxima, percentual_fc_alvo, fc_limite";

QList<QVariant> ValoresClinicos(const TSessao &s)
{
    return {QVariant(int(s.betabloqueador)),
            Opcional(s.fcRepouso),
            Opcional(s.sistolicaRepouso),
            Opcional(s.diastolicaRepouso),
            Opcional(s.desvioStMm),
            Opcional(s.indiceAngina),
            QVariant(TBancoSessoes::CodigoFormula(s.formulaFcMaxima)),
            QVariant(s.percentualFcAlvo),
            Opcional(s.fcLimite)};
}

// The eight patient columns from `primeira` on, in TPaciente's order (id before them).
TPaciente PacienteDaLinha(const QSqlQuery &q, int primeira)
{
    TPaciente p;
    p.id = q.value(primeira - 1).toLongLong();
    QString *campos[] = {&p.nome, &p.identificador, &p.nascimento, &p.sexo,
                         &p.peso, &p.altura,        &p.medico,     &p.observacoes};
    for (int i = 0; i < 8; ++i)
        *campos[i] = q.value(primeira + i).toString();
    return p;
}

// The advisory lock's key of a station's name: the same in every program and on every server.
qint64 ChaveEstacao(const QString &estacao)
{
    const QByteArray h = QCryptographicHash::hash(
        QStringLiteral("kestrova-estacao:%1").arg(estacao).toUtf8(), QCryptographicHash::Sha1);
    qint64 chave = 0;
    for (int i = 0; i < 8; ++i)
        chave = (chave << 8) | quint8(h.at(i));
    return chave;
}

// Held while a server's schema is migrated, so that two stations starting together take turns.
constexpr qint64 kChaveEsquema = 0x4b65737472766131;

}  // namespace

TBancoSessoes::TBancoSessoes(const QString &nomeConexao)
    : FNomeConexao(nomeConexao), FEstacao(EstacaoPadrao())
{
}

QString TBancoSessoes::EstacaoPadrao()
{
    const QString nome = QSysInfo::machineHostName();
    return nome.isEmpty() ? QStringLiteral("estacao") : nome;
}

void TBancoSessoes::AjustarEstacao(const QString &estacao)
{
    FEstacao = estacao.trimmed().isEmpty() ? EstacaoPadrao() : estacao.trimmed();
}

TBancoSessoes::~TBancoSessoes()
{
    Fechar();
}

QString TBancoSessoes::CaminhoPadrao()
{
    // Beside the user's protocol files, in the data folder of the Kestrova programs as a whole.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestrova/sessoes.sqlite");
}

QSqlDatabase TBancoSessoes::Conexao() const
{
    QSqlDatabase banco = QSqlDatabase::database(FNomeConexao, false);
    if (FEndereco.Servidor() && FbAberto &&
        (!FVerificada.isValid() || FVerificada.hasExpired(2000))) {
        FVerificada.start();
        QString erro;
        if (!ConexaoResponde(FNomeConexao) && Reconectar(FNomeConexao, &erro))
            TomarEstacao(&erro);
    }
    return banco;
}

QString TBancoSessoes::Falhou(const QString &oque, const QString &detalhe) const
{
    // The path on a line of its own: a message box would break it mid-way.
    if (FEndereco.Servidor())
        return QCoreApplication::translate("TBancoSessoes", "%1: %3\nServidor: %2")
            .arg(oque, FCaminho, detalhe);
    return QCoreApplication::translate("TBancoSessoes", "%1: %3\nArquivo: %2")
        .arg(oque, QDir::toNativeSeparators(FCaminho), detalhe);
}

bool TBancoSessoes::Abrir(const QString &endereco, QString *erro)
{
    Fechar();
    FiRecuperadas = 0;
    FiRecuperadosPendentes = 0;
    FAvisoPendentes.clear();
    FCaminhoFila.clear();
    QString detalhe;
    const std::optional<TEnderecoBanco> lido = TEnderecoBanco::Ler(endereco, &detalhe);
    if (!lido) {
        FCaminho = endereco;
        FEndereco = TEnderecoBanco();
        *erro = QCoreApplication::translate(
                    "TBancoSessoes", "Endereço do banco de sessões inválido: %1\nEndereço: %2")
                    .arg(detalhe, endereco);
        return false;
    }
    FEndereco = *lido;
    FDialeto = TDialetoBanco(FEndereco.Motor());
    FCaminho = FEndereco.Texto();
    if (!(FEndereco.Servidor() ? AbrirServidor(erro) : AbrirArquivo(erro)) || !Preparar(erro)) {
        Fechar();
        return false;
    }
    FbAberto = true;
    return true;
}

bool TBancoSessoes::AbrirServidor(QString *erro)
{
    FCaminhoFila = TFilaLocal::CaminhoPara(FEndereco, FEstacao);
    FArquivoLocal = FCaminhoFila;
    QString detalhe;
    if (!AbrirConexao(FEndereco, FNomeConexao, &detalhe)) {
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível abrir o banco de sessões"),
                       detalhe);
        return false;
    }
    return TomarEstacao(erro);
}

// One program per station: a second one would take the first one's running test for a dead one.
bool TBancoSessoes::TomarEstacao(QString *erro) const
{
    QSqlQuery q(QSqlDatabase::database(FNomeConexao, false));
    q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(?)"));
    q.addBindValue(ChaveEstacao(FEstacao));
    if (!q.exec() || !q.next()) {
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível abrir o banco de sessões"),
                       MotivoServidor(q.lastError()));
        return false;
    }
    if (!q.value(0).toBool()) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes",
                                        "A estação \"%1\" já está em uso por outro programa")
                .arg(FEstacao),
            QCoreApplication::translate("TBancoSessoes",
                                        "feche o outro programa desta estação ou dê outro nome a "
                                        "esta estação"));
        return false;
    }
    return true;
}

bool TBancoSessoes::AbrirArquivo(QString *erro)
{
    FArquivoLocal = FCaminho;
    const QString pasta = QFileInfo(FCaminho).absolutePath();
    if (!QDir().mkpath(pasta)) {
        *erro = Falhou(QCoreApplication::translate(
                           "TBancoSessoes", "Não foi possível criar a pasta do banco de sessões"),
                       QCoreApplication::translate("TBancoSessoes", "sem permissão de escrita"));
        return false;
    }
    // One program at a time: a second one would mark the first one's running test as
    // interrupted. A lock left by a killed program is taken over (QLockFile checks the process).
    FTrava = std::make_unique<QLockFile>(FCaminho + QStringLiteral(".trava"));
    FTrava->setStaleLockTime(0);
    if (!FTrava->tryLock(0)) {
        const bool emUso = FTrava->error() == QLockFile::LockFailedError;
        FTrava.reset();
        *erro = Falhou(
            emUso ? QCoreApplication::translate("TBancoSessoes",
                                                "O banco de sessões está em uso por outro programa")
                  : QCoreApplication::translate(
                        "TBancoSessoes", "Não foi possível gravar na pasta do banco de sessões"),
            emUso ? QCoreApplication::translate(
                        "TBancoSessoes", "feche a outra janela de Teste de esforço que o usa")
                  : QCoreApplication::translate("TBancoSessoes", "sem permissão de escrita"));
        return false;
    }
    QString detalhe;
    if (!AbrirConexao(FEndereco, FNomeConexao, &detalhe)) {
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível abrir o banco de sessões"),
                       detalhe);
        return false;
    }
    QSqlQuery q(Conexao());
    int versao = 0;
    if (!LerVersao(&versao, erro))
        return false;
    if (versao <= kVersaoEsquema &&
        (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next() ||
         q.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0)) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes",
                                        "Não foi possível gravar no banco de sessões"),
            MotivoErro(q.lastError(), QSqlError(),
                       QCoreApplication::translate(
                           "TBancoSessoes", "o registro de escrita (WAL) não pôde ser ativado")));
        return false;
    }
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    q.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    return true;
}

bool TBancoSessoes::LerVersao(int *versao, QString *erro)
{
    QSqlError falha;
    if (FDialeto.LerVersao(Conexao(), versao, &falha))
        return true;
    *erro = FEndereco.Servidor()
                ? Falhou(QCoreApplication::translate("TBancoSessoes",
                                                     "Não foi possível ler o banco de sessões"),
                         MotivoServidor(falha))
                : Falhou(QCoreApplication::translate("TBancoSessoes",
                                                     "O arquivo não é um banco de sessões válido"),
                         MotivoErro(falha, Conexao().lastError()));
    return false;
}

bool TBancoSessoes::Preparar(QString *erro)
{
    int versao = 0;
    if (!LerVersao(&versao, erro))
        return false;
    if (versao > kVersaoEsquema) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes",
                                        "O banco de sessões é de uma versão mais nova do programa"),
            QCoreApplication::translate("TBancoSessoes",
                                        "esquema %1, este programa conhece até o %2; atualize o "
                                        "programa ou escolha outro banco de sessões")
                .arg(versao)
                .arg(kVersaoEsquema));
        return false;
    }
    return Migrar(versao, erro) && RecuperarPendentes(erro) && RecuperarInterrompidas(erro) &&
           VerificarGravacao(erro);
}

bool TBancoSessoes::Migrar(int versao, QString *erro)
{
    QSqlDatabase banco = Conexao();
    for (int v = versao; v < kVersaoEsquema; ++v) {
        if (!banco.transaction()) {
            *erro = Falhou(QCoreApplication::translate(
                               "TBancoSessoes", "Não foi possível atualizar o banco de sessões"),
                           MotivoErro(banco.lastError(), QSqlError(),
                                      QCoreApplication::translate(
                                          "TBancoSessoes", "a transação não pôde ser iniciada")));
            return false;
        }
        QSqlQuery q(banco);
        QString detalhe;
        // Another station may have migrated the server meanwhile: its version is read again under
        // the lock.
        if (FEndereco.Servidor()) {
            int agora = v;
            QSqlError falha;
            if (!q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kChaveEsquema)) ||
                !FDialeto.LerVersao(banco, &agora, &falha))
                detalhe = MotivoErro(q.lastError(), falha);
            else if (agora > v) {
                banco.rollback();
                v = agora - 1;
                continue;
            }
        }
        QStringList comandos;
        for (const QString &comando : Migracoes().at(v))
            comandos << FDialeto.Esquema(comando);
        comandos << FDialeto.GravarVersao(v + 1);
        for (const QString &comando : comandos)
            if (detalhe.isEmpty() && !q.exec(comando))
                detalhe = FEndereco.Servidor() ? MotivoServidor(q.lastError())
                                               : MotivoErro(q.lastError(), banco.lastError());
        if (detalhe.isEmpty() && !banco.commit())
            detalhe = MotivoConfirmacao(banco.lastError());
        if (!detalhe.isEmpty()) {
            banco.rollback();
            *erro = Falhou(QCoreApplication::translate(
                               "TBancoSessoes", "Não foi possível atualizar o banco de sessões"),
                           detalhe);
            return false;
        }
    }
    return true;
}

// The side file's records go into the database in one transaction, and the file is removed only
// after the commit. Lines that are not a record, or belong to a session this file does not have,
// are first kept in a file of their own so that the good ones are not held back by them.
bool TBancoSessoes::RecuperarPendentes(QString *erro)
{
    if (FEndereco.Servidor() && !EncaminharFila(erro))
        return false;
    const QString arquivo = TArquivoPendentes::Caminho(FArquivoLocal);
    if (!QFile::exists(arquivo))
        return true;
    TArquivoPendentes::TLeitura leitura;
    QString detalhe;
    bool leu = TArquivoPendentes::Ler(arquivo, &leitura, &detalhe);
    if (leu) {
        SepararDesconhecidos(leitura);
        leu = leitura.invalidas.isEmpty() ||
              TArquivoPendentes::AnexarLinhas(TArquivoPendentes::CaminhoInvalidas(FArquivoLocal),
                                              leitura.invalidas, &detalhe);
    }
    if (!leu) {
        *erro =
            Falhou(QCoreApplication::translate(
                       "TBancoSessoes", "Não foi possível recuperar os registros pendentes em %1")
                       .arg(QDir::toNativeSeparators(arquivo)),
                   detalhe);
        return false;
    }
    if (!InserirPendentes(leitura.registros, erro))
        return false;
    FiRecuperadosPendentes = int(leitura.registros.size());
    const bool removido = QFile::remove(arquivo);
    if (!leitura.registros.isEmpty() || !leitura.invalidas.isEmpty() || !removido)
        FAvisoPendentes = DescreverPendentes(leitura, removido);
    return true;
}

void TBancoSessoes::SepararDesconhecidos(TArquivoPendentes::TLeitura &leitura) const
{
    QHash<qint64, bool> existe;
    QList<TArquivoPendentes::TPendente> conhecidos;
    for (const TArquivoPendentes::TPendente &p : leitura.registros) {
        if (!existe.contains(p.sessaoId))
            existe.insert(p.sessaoId, LerSessao(p.sessaoId).has_value());
        if (existe.value(p.sessaoId))
            conhecidos << p;
        else
            leitura.invalidas << p.linha;
    }
    leitura.registros = conhecidos;
}

// Inserts the records and rebuilds the stage table of the sessions already finished (the
// running ones get theirs when they are marked interrupted).
bool TBancoSessoes::InserirPendentes(const QList<TArquivoPendentes::TPendente> &registros,
                                     QString *erro)
{
    QSqlDatabase banco = Conexao();
    const auto falhou = [&](const QString &detalhe) {
        banco.rollback();
        *erro =
            Falhou(QCoreApplication::translate(
                       "TBancoSessoes", "Não foi possível incluir no banco os registros pendentes"),
                   detalhe);
        return false;
    };
    if (!banco.transaction())
        return falhou(MotivoErro(
            banco.lastError(), QSqlError(),
            QCoreApplication::translate("TBancoSessoes", "a transação não pôde ser iniciada")));
    TInsercaoRegistros insercao(banco);
    QSet<qint64> sessoes;
    QString detalhe;
    for (const TArquivoPendentes::TPendente &p : registros) {
        if (!insercao.Inserir(p.sessaoId, p.registro, &detalhe))
            return falhou(detalhe);
        sessoes.insert(p.sessaoId);
    }
    for (qint64 id : sessoes)
        if (LerSessao(id)->situacao != TSessao::TSituacao::EmAndamento &&
            !GravarEstagios(id, erro)) {
            banco.rollback();
            return false;
        }
    if (!banco.commit())
        return falhou(MotivoConfirmacao(banco.lastError()));
    return true;
}

// What a program killed during an outage left in the spool goes to the server, in order, before
// its running sessions are marked interrupted.
bool TBancoSessoes::EncaminharFila(QString *erro)
{
    if (!QFile::exists(FCaminhoFila))
        return true;
    TFilaLocal fila(FCaminhoFila, FEstacao, FNomeConexao + QStringLiteral("-fila"));
    QString detalhe;
    const qint64 antes = fila.Abrir(&detalhe) ? fila.Pendentes() : -1;
    qint64 ultimo = antes > 0 ? 1 : 0;
    while (ultimo > 0 && fila.Pendentes() > 0)
        ultimo = fila.Encaminhar(Conexao(), 500, &detalhe);
    if (antes < 0 || ultimo < 0) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes",
                                        "Não foi possível enviar ao servidor os registros da fila "
                                        "local %1")
                .arg(QDir::toNativeSeparators(FCaminhoFila)),
            detalhe);
        return false;
    }
    FiRecuperadosPendentes += int(antes);
    return true;
}

QString TBancoSessoes::DescreverPendentes(const TArquivoPendentes::TLeitura &leitura,
                                          bool removido) const
{
    const QString arquivo = QDir::toNativeSeparators(TArquivoPendentes::Caminho(FArquivoLocal));
    QString aviso =
        QCoreApplication::translate("TBancoSessoes",
                                    "%1 registro(s) de teste que não tinham sido gravados no banco "
                                    "foram recuperados de %2.")
            .arg(leitura.registros.size())
            .arg(arquivo);
    if (!leitura.invalidas.isEmpty())
        aviso +=
            QCoreApplication::translate(
                "TBancoSessoes",
                " %1 linha(s) do arquivo estavam corrompidas ou eram de testes "
                "que não estão neste banco e não foram incluídas; foram "
                "guardadas em %2.")
                .arg(leitura.invalidas.size())
                .arg(QDir::toNativeSeparators(TArquivoPendentes::CaminhoInvalidas(FArquivoLocal)));
    if (!removido)
        aviso += QCoreApplication::translate(
            "TBancoSessoes",
            " O arquivo não pôde ser removido: remova-o antes de abrir o "
            "programa de novo, ou os registros serão incluídos outra vez.");
    return aviso;
}

bool TBancoSessoes::RecuperarInterrompidas(QString *erro)
{
    QSqlDatabase banco = Conexao();
    QSqlQuery q(banco);
    // A file is one program's at a time; on a server a station closes only its own sessions.
    q.prepare(QStringLiteral("SELECT id FROM sessoes WHERE situacao = 'em_andamento'") +
              (FEndereco.Servidor() ? QStringLiteral(" AND estacao = ?") : QString()));
    if (FEndereco.Servidor())
        q.addBindValue(FEstacao);
    q.exec();
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    for (qint64 id : ids) {
        std::optional<TSessao> sessao = LerSessao(id);
        const QList<TAmostraRegistro> amostras = LerAmostras(id);
        sessao->situacao = TSessao::TSituacao::Interrompida;
        sessao->duracaoMs = amostras.isEmpty() ? 0 : amostras.last().tempoMs;
        sessao->fim = sessao->inicio.addMSecs(sessao->duracaoMs);
        if (sessao->motivoParada.isEmpty())
            // Stored in Portuguese; TRelatorioSessao translates it where it prints it.
            sessao->motivoParada = QString::fromUtf8(
                QT_TRANSLATE_NOOP("TBancoSessoes", "Programa interrompido durante o teste"));
        if (!FinalizarSessao(*sessao, erro))
            return false;
        ++FiRecuperadas;
    }
    return true;
}

bool TBancoSessoes::VerificarGravacao(QString *erro)
{
    const QStorageInfo disco(QFileInfo(FArquivoLocal).absolutePath());
    if (disco.isValid() && disco.bytesAvailable() < FiEspacoMinimo) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes",
                                        "Espaço em disco insuficiente para gravar o teste"),
            QCoreApplication::translate("TBancoSessoes", "%1 MB livres, são necessários %2 MB")
                .arg(disco.bytesAvailable() / (1024 * 1024))
                .arg(FiEspacoMinimo / (1024 * 1024)));
        return false;
    }
    QSqlDatabase banco = Conexao();
    QSqlQuery q(banco);
    banco.transaction();
    q.prepare(FDialeto.Substituir(QStringLiteral("verificacao"),
                                  {QStringLiteral("id"), QStringLiteral("quando")},
                                  {QStringLiteral("id")}));
    q.addBindValue(1);
    q.addBindValue(Texto(QDateTime::currentDateTimeUtc()));
    const bool gravou = q.exec() && banco.commit();
    if (!gravou) {
        QString detalhe = q.lastError().isValid() ? MotivoErro(q.lastError())
                                                  : MotivoConfirmacao(banco.lastError());
        if (FEndereco.Servidor())
            detalhe = MotivoServidor(q.lastError().isValid() ? q.lastError() : banco.lastError());
        banco.rollback();
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível gravar no banco de sessões"),
                       detalhe);
        return false;
    }
    return true;
}

void TBancoSessoes::Fechar()
{
    FbAberto = false;
    FecharConexao(FNomeConexao);  // a server's station lock goes with its connection
    FTrava.reset();
}

qint64 TBancoSessoes::InserirPaciente(const TPaciente &p, QString *erro)
{
    QSqlQuery q(Conexao());
    q.prepare(
        QStringLiteral(
            "INSERT INTO pacientes (nome, identificador, nascimento, sexo, peso, altura, medico,"
            " observacoes) VALUES (?, ?, ?, ?, ?, ?, ?, ?)") +
        FDialeto.RetornarId());
    for (const QString &v :
         {p.nome, p.identificador, p.nascimento, p.sexo, p.peso, p.altura, p.medico, p.observacoes})
        q.addBindValue(v);
    if (!q.exec()) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes", "Não foi possível gravar o paciente"),
            MotivoErro(q.lastError()));
        return 0;
    }
    return FDialeto.IdInserido(q);
}

bool TBancoSessoes::AtualizarPaciente(const TPaciente &p, QString *erro)
{
    QSqlQuery q(Conexao());
    q.prepare(QStringLiteral(
        "UPDATE pacientes SET nome = ?, identificador = ?, nascimento = ?,"
        " sexo = ?, peso = ?, altura = ?, medico = ?, observacoes = ? WHERE id = ?"));
    for (const QString &v :
         {p.nome, p.identificador, p.nascimento, p.sexo, p.peso, p.altura, p.medico, p.observacoes})
        q.addBindValue(v);
    q.addBindValue(p.id);
    const QString oque =
        QCoreApplication::translate("TBancoSessoes", "Não foi possível atualizar o paciente");
    if (!q.exec()) {
        *erro = Falhou(oque, MotivoErro(q.lastError()));
        return false;
    }
    if (q.numRowsAffected() != 1) {
        *erro = Falhou(oque, QCoreApplication::translate("TBancoSessoes",
                                                         "o paciente nº %1 não está neste banco")
                                 .arg(p.id));
        return false;
    }
    return true;
}

qint64 TBancoSessoes::GravarPaciente(const TPaciente &paciente, QString *erro)
{
    if (!paciente.id)
        return InserirPaciente(paciente, erro);
    return AtualizarPaciente(paciente, erro) ? paciente.id : 0;
}

QString TBancoSessoes::TextoDeBusca(const QString &texto)
{
    // Decomposed, the accents are marks of their own and drop out ("Conceição" -> "conceicao").
    QString dobrado;
    for (const QChar c : texto.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            dobrado += c;
    return dobrado.toCaseFolded();
}

// Filtered here rather than in SQL: SQLite's LIKE folds only ASCII letters and knows no accents.
QList<TBancoSessoes::TPacienteEncontrado> TBancoSessoes::BuscarPacientes(const QString &texto,
                                                                         int limite) const
{
    QSqlQuery q(Conexao());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT p.id, p.nome, p.identificador, p.nascimento, p.sexo, p.peso, p.altura, p.medico,"
        " p.observacoes, MAX(s.inicio), COUNT(s.id) FROM pacientes p"
        " LEFT JOIN sessoes s ON s.paciente_id = p.id GROUP BY p.id"
        " ORDER BY COALESCE(MAX(s.inicio), '') DESC, p.id DESC"));
    QList<TPacienteEncontrado> encontrados;
    if (!q.exec())
        return encontrados;
    const QStringList palavras = TextoDeBusca(texto).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (encontrados.size() < limite && q.next()) {
        TPacienteEncontrado e{PacienteDaLinha(q, 1), Data(q.value(9)), q.value(10).toInt()};
        const QString onde =
            TextoDeBusca(e.paciente.nome + QLatin1Char(' ') + e.paciente.identificador);
        if (std::all_of(palavras.begin(), palavras.end(),
                        [&](const QString &w) { return onde.contains(w); }))
            encontrados << e;
    }
    return encontrados;
}

QList<TSessao> TBancoSessoes::SessoesDoPaciente(qint64 pacienteId) const
{
    QSqlQuery q(Conexao());
    q.prepare(QStringLiteral(
        "SELECT id FROM sessoes WHERE paciente_id = ? ORDER BY inicio DESC, id DESC"));
    q.addBindValue(pacienteId);
    QList<qint64> ids;
    if (q.exec())
        while (q.next())
            ids << q.value(0).toLongLong();
    QList<TSessao> sessoes;
    for (qint64 id : ids)
        if (std::optional<TSessao> s = LerSessao(id))
            sessoes << *s;
    return sessoes;
}

qint64 TBancoSessoes::IniciarSessao(const TSessao &s, QString *erro)
{
    QSqlQuery q(Conexao());
    q.prepare(
        QStringLiteral("INSERT INTO sessoes (paciente_id, protocolo_id, protocolo_nome,"
                       " protocolo_passos, velocidade_maxima, inclinacao_maxima, recuperacao_ms,"
                       " recuperacao_velocidade, recuperacao_inclinacao, inicio, situacao,"
                       " motivo_parada, comentarios, peso, altura, estacao, %1)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'em_andamento', '', ?, ?, ?, ?,"
                       " ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(QLatin1String(kColunasClinicas)) +
        FDialeto.RetornarId());
    q.addBindValue(s.pacienteId);
    q.addBindValue(s.protocoloId);
    q.addBindValue(s.protocoloNome);
    q.addBindValue(s.protocoloPassos);
    q.addBindValue(s.velocidadeMaxima);
    q.addBindValue(s.inclinacaoMaxima);
    q.addBindValue(s.recuperacaoMs);
    q.addBindValue(s.recuperacaoVelocidade);
    q.addBindValue(s.recuperacaoInclinacao);
    q.addBindValue(Texto(s.inicio));
    q.addBindValue(s.comentarios);
    q.addBindValue(s.peso.isNull() ? QStringLiteral("") : s.peso);  // NOT NULL, '' when not typed
    q.addBindValue(s.altura.isNull() ? QStringLiteral("") : s.altura);
    q.addBindValue(FEstacao);
    for (const QVariant &v : ValoresClinicos(s))
        q.addBindValue(v);
    if (!q.exec()) {
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível gravar o início do teste"),
                       MotivoErro(q.lastError()));
        return 0;
    }
    return FDialeto.IdInserido(q);
}

bool TBancoSessoes::FinalizarSessao(const TSessao &s, QString *erro)
{
    QSqlDatabase banco = Conexao();
    banco.transaction();
    QSqlQuery q(banco);
    q.prepare(
        QStringLiteral("UPDATE sessoes SET fim = ?, duracao_ms = ?, situacao = ?,"
                       " motivo_parada = ?, comentarios = ? WHERE id = ?"));
    q.addBindValue(Texto(s.fim));
    q.addBindValue(s.duracaoMs);
    q.addBindValue(CodigoSituacao(s.situacao));
    q.addBindValue(s.motivoParada);
    q.addBindValue(s.comentarios);
    q.addBindValue(s.id);
    const auto desfazer = [&](const QString &detalhe) {
        banco.rollback();
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes", "Não foi possível gravar o fim do teste"),
            detalhe);
        return false;
    };
    if (!q.exec())
        return desfazer(MotivoErro(q.lastError(), banco.lastError()));
    if (!GravarEstagios(s.id, erro)) {
        banco.rollback();  // *erro says why
        return false;
    }
    if (!banco.commit())
        return desfazer(MotivoConfirmacao(banco.lastError()));
    return true;
}

bool TBancoSessoes::AtualizarComentarios(qint64 sessaoId, const QString &motivo,
                                         const QString &comentarios, QString *erro)
{
    QSqlQuery q(Conexao());
    q.prepare(QStringLiteral("UPDATE sessoes SET motivo_parada = ?, comentarios = ? WHERE id = ?"));
    q.addBindValue(motivo);
    q.addBindValue(comentarios);
    q.addBindValue(sessaoId);
    if (!q.exec()) {
        *erro = Falhou(
            QCoreApplication::translate("TBancoSessoes", "Não foi possível gravar os comentários"),
            MotivoErro(q.lastError()));
        return false;
    }
    return true;
}

bool TBancoSessoes::AtualizarDadosClinicos(const TSessao &s, QString *erro)
{
    QSqlQuery q(Conexao());
    q.prepare(
        QStringLiteral("UPDATE sessoes SET betabloqueador = ?, fc_repouso = ?,"
                       " pas_repouso = ?, pad_repouso = ?, desvio_st_mm = ?,"
                       " indice_angina = ?, formula_fc_maxima = ?, percentual_fc_alvo = ?,"
                       " fc_limite = ? WHERE id = ?"));
    for (const QVariant &v : ValoresClinicos(s))
        q.addBindValue(v);
    q.addBindValue(s.id);
    const QString oque = QCoreApplication::translate(
        "TBancoSessoes", "Não foi possível gravar os dados clínicos do teste");
    if (!q.exec()) {
        *erro = Falhou(oque, MotivoErro(q.lastError()));
        return false;
    }
    if (q.numRowsAffected() != 1) {
        *erro = Falhou(oque, QCoreApplication::translate("TBancoSessoes",
                                                         "a sessão nº %1 não está neste banco")
                                 .arg(s.id));
        return false;
    }
    return true;
}

bool TBancoSessoes::GravarEstagios(qint64 sessaoId, QString *erro)
{
    const QList<TResumoEstagio> estagios =
        TResumoSessao::Estagios(LerAmostras(sessaoId), LerEventos(sessaoId));
    QSqlQuery q(Conexao());
    q.prepare(QStringLiteral("DELETE FROM estagios WHERE sessao_id = ?"));
    q.addBindValue(sessaoId);
    bool ok = q.exec();
    q.prepare(QStringLiteral(
        "INSERT INTO estagios (sessao_id, ordem, estagio, fase, inicio_ms, fim_ms, velocidade,"
        " inclinacao, frequencia_cardiaca, pressao_sistolica, pressao_diastolica, borg,"
        " velocidade_protocolo, inclinacao_protocolo)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; ok && i < estagios.size(); ++i) {
        const TResumoEstagio &e = estagios.at(i);
        for (const QVariant &v :
             {QVariant(sessaoId), QVariant(i), QVariant(e.estagio), QVariant(e.fase),
              QVariant(e.inicioMs), QVariant(e.fimMs), QVariant(e.velocidade),
              QVariant(e.inclinacao), QVariant(e.frequenciaCardiaca), QVariant(e.pressaoSistolica),
              QVariant(e.pressaoDiastolica), QVariant(e.borg), QVariant(e.velocidadeProtocolo),
              QVariant(e.inclinacaoProtocolo)})
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok)
        *erro = Falhou(QCoreApplication::translate("TBancoSessoes",
                                                   "Não foi possível gravar a tabela de estágios"),
                       MotivoErro(q.lastError(), Conexao().lastError()));
    return ok;
}

std::optional<TSessao> TBancoSessoes::LerSessao(qint64 id) const
{
    QSqlQuery q(Conexao());
    q.prepare(QStringLiteral("SELECT id, paciente_id, protocolo_id, protocolo_nome,"
                             " protocolo_passos, velocidade_maxima, inclinacao_maxima,"
                             " recuperacao_ms, recuperacao_velocidade, recuperacao_inclinacao,"
                             " inicio, fim, duracao_ms, situacao, motivo_parada, comentarios,"
                             " peso, altura, %1, estacao FROM sessoes WHERE id = ?")
                  .arg(QLatin1String(kColunasClinicas)));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    TSessao s;
    s.id = q.value(0).toLongLong();
    s.pacienteId = q.value(1).toLongLong();
    s.protocoloId = q.value(2).toString();
    s.protocoloNome = q.value(3).toString();
    s.protocoloPassos = q.value(4).toString();
    s.velocidadeMaxima = q.value(5).toDouble();
    s.inclinacaoMaxima = q.value(6).toDouble();
    s.recuperacaoMs = q.value(7).toLongLong();
    s.recuperacaoVelocidade = q.value(8).toDouble();
    s.recuperacaoInclinacao = q.value(9).toDouble();
    s.inicio = Data(q.value(10));
    s.fim = Data(q.value(11));
    s.duracaoMs = q.value(12).toLongLong();
    s.situacao = SituacaoDoCodigo(q.value(13).toString());
    s.motivoParada = q.value(14).toString();
    s.comentarios = q.value(15).toString();
    s.peso = q.value(16).toString();
    s.altura = q.value(17).toString();
    s.betabloqueador = q.value(18).toBool();
    s.fcRepouso = Inteiro(q.value(19));
    s.sistolicaRepouso = Inteiro(q.value(20));
    s.diastolicaRepouso = Inteiro(q.value(21));
    if (!q.value(22).isNull())
        s.desvioStMm = q.value(22).toDouble();
    s.indiceAngina = Inteiro(q.value(23));
    s.formulaFcMaxima = FormulaDoCodigo(q.value(24).toString());
    s.percentualFcAlvo = q.value(25).toDouble();
    s.fcLimite = Inteiro(q.value(26));
    s.estacao = q.value(27).toString();
    return s;
}

std::optional<TPaciente> TBancoSessoes::LerPaciente(qint64 id) const
{
    QSqlQuery q(Conexao());
    q.prepare(
        QStringLiteral("SELECT id, nome, identificador, nascimento, sexo, peso, altura,"
                       " medico, observacoes FROM pacientes WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return PacienteDaLinha(q, 1);
}

QList<TAmostraRegistro> TBancoSessoes::LerAmostras(qint64 sessaoId) const
{
    QSqlQuery q(Conexao());
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT tempo_ms, estado, fase, estagio, velocidade_alvo,"
                       " inclinacao_alvo, velocidade_confirmada, inclinacao_confirmada,"
                       " link_ok, frequencia_cardiaca, fonte_fc FROM amostras"
                       " WHERE sessao_id = ? ORDER BY tempo_ms"));
    q.addBindValue(sessaoId);
    QList<TAmostraRegistro> amostras;
    if (!q.exec())
        return amostras;
    while (q.next()) {
        TAmostraRegistro a;
        a.tempoMs = q.value(0).toLongLong();
        a.estado = q.value(1).toInt();
        a.fase = q.value(2).toInt();
        a.estagio = q.value(3).toInt();
        a.velocidadeAlvo = q.value(4).toDouble();
        a.inclinacaoAlvo = q.value(5).toDouble();
        a.velocidadeConfirmada = q.value(6).toDouble();
        a.inclinacaoConfirmada = q.value(7).toDouble();
        a.linkOk = q.value(8).toBool();
        a.frequenciaCardiaca = q.value(9).toInt();
        a.fonteFc = q.value(10).toString();
        amostras << a;
    }
    // The RR intervals of each second, attached to its sample.
    QSqlQuery rr(Conexao());
    rr.setForwardOnly(true);
    rr.prepare(
        QStringLiteral("SELECT tempo_ms, rr_ms FROM intervalos_rr WHERE sessao_id = ?"
                       " ORDER BY tempo_ms, ordem"));
    rr.addBindValue(sessaoId);
    qsizetype i = 0;
    if (rr.exec())
        while (rr.next()) {
            const qint64 tempo = rr.value(0).toLongLong();
            while (i < amostras.size() && amostras.at(i).tempoMs < tempo)
                ++i;
            if (i < amostras.size() && amostras.at(i).tempoMs == tempo)
                amostras[i].intervalosRR << rr.value(1).toInt();
        }
    return amostras;
}

QList<TEventoRegistro> TBancoSessoes::LerEventos(qint64 sessaoId) const
{
    QSqlQuery q(Conexao());
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT tempo_ms, tipo, estado, fase, estagio, velocidade,"
                       " inclinacao, texto, valor1, valor2 FROM eventos"
                       " WHERE sessao_id = ? ORDER BY tempo_ms, id"));
    q.addBindValue(sessaoId);
    QList<TEventoRegistro> eventos;
    if (!q.exec())
        return eventos;
    while (q.next()) {
        TEventoRegistro e;
        e.tempoMs = q.value(0).toLongLong();
        e.tipo = q.value(1).toString();
        e.estado = q.value(2).toInt();
        e.fase = q.value(3).toInt();
        e.estagio = q.value(4).toInt();
        e.velocidade = q.value(5).toDouble();
        e.inclinacao = q.value(6).toDouble();
        e.texto = q.value(7).toString();
        e.valor1 = q.value(8).toDouble();
        e.valor2 = q.value(9).toDouble();
        eventos << e;
    }
    return eventos;
}

QList<TResumoEstagio> TBancoSessoes::LerEstagios(qint64 sessaoId) const
{
    QSqlQuery q(Conexao());
    q.prepare(
        QStringLiteral("SELECT estagio, fase, inicio_ms, fim_ms, velocidade, inclinacao,"
                       " frequencia_cardiaca, pressao_sistolica, pressao_diastolica, borg,"
                       " velocidade_protocolo, inclinacao_protocolo"
                       " FROM estagios WHERE sessao_id = ? ORDER BY ordem"));
    q.addBindValue(sessaoId);
    QList<TResumoEstagio> estagios;
    if (!q.exec())
        return estagios;
    while (q.next()) {
        TResumoEstagio e;
        e.estagio = q.value(0).toInt();
        e.fase = q.value(1).toInt();
        e.inicioMs = q.value(2).toLongLong();
        e.fimMs = q.value(3).toLongLong();
        e.velocidade = q.value(4).toDouble();
        e.inclinacao = q.value(5).toDouble();
        e.frequenciaCardiaca = q.value(6).toInt();
        e.pressaoSistolica = q.value(7).toInt();
        e.pressaoDiastolica = q.value(8).toInt();
        e.borg = q.value(9).toInt();
        e.velocidadeProtocolo = q.value(10).toDouble();
        e.inclinacaoProtocolo = q.value(11).toDouble();
        estagios << e;
    }
    return estagios;
}

QSqlQuery TBancoSessoes::ConsultarSessoes(const QString &estacao) const
{
    QSqlQuery q(Conexao());
    q.setForwardOnly(false);
    q.prepare(
        QStringLiteral("SELECT s.id AS \"Nº\", ") + FDialeto.DataLocal(QStringLiteral("s.inicio")) +
        QStringLiteral(" AS \"Data\", p.nome AS \"Paciente\", p.identificador AS \"Identificador\","
                       " s.protocolo_nome AS \"Protocolo\", ") +
        FDialeto.Duracao(QStringLiteral("s.duracao_ms")) +
        QStringLiteral(" AS \"Duração\", CASE s.situacao WHEN 'concluida' THEN 'Concluído'"
                       " WHEN 'parada' THEN 'Parado' WHEN 'interrompida' THEN 'Interrompido'"
                       " WHEN 'parada_nao_confirmada' THEN 'Parada não confirmada'"
                       " ELSE 'Em andamento' END AS \"Situação\", s.estacao AS \"Estação\""
                       " FROM sessoes s LEFT JOIN pacientes p ON p.id = s.paciente_id") +
        (estacao.isEmpty() ? QString() : QStringLiteral(" WHERE s.estacao = ?")) +
        QStringLiteral(" ORDER BY s.id DESC"));
    if (!estacao.isEmpty())
        q.addBindValue(estacao);
    q.exec();
    return q;
}

QStringList TBancoSessoes::Estacoes() const
{
    QSqlQuery q(Conexao());
    QStringList estacoes;
    if (q.exec(QStringLiteral("SELECT DISTINCT estacao FROM sessoes WHERE estacao <> ''"
                              " ORDER BY estacao")))
        while (q.next())
            estacoes << q.value(0).toString();
    return estacoes;
}

QString TBancoSessoes::CodigoSituacao(TSessao::TSituacao situacao)
{
    switch (situacao) {
        case TSessao::TSituacao::Concluida: return QStringLiteral("concluida");
        case TSessao::TSituacao::Parada: return QStringLiteral("parada");
        case TSessao::TSituacao::Interrompida: return QStringLiteral("interrompida");
        case TSessao::TSituacao::ParadaNaoConfirmada:
            return QStringLiteral("parada_nao_confirmada");
        case TSessao::TSituacao::EmAndamento: break;
    }
    return QStringLiteral("em_andamento");
}

TSessao::TSituacao TBancoSessoes::SituacaoDoCodigo(const QString &codigo)
{
    for (auto s : {TSessao::TSituacao::Concluida, TSessao::TSituacao::Parada,
                   TSessao::TSituacao::Interrompida, TSessao::TSituacao::ParadaNaoConfirmada})
        if (CodigoSituacao(s) == codigo)
            return s;
    return TSessao::TSituacao::EmAndamento;
}

QString TBancoSessoes::NomeSituacao(TSessao::TSituacao situacao)
{
    switch (situacao) {
        case TSessao::TSituacao::Concluida:
            return QCoreApplication::translate("TBancoSessoes", "Concluído");
        case TSessao::TSituacao::Parada:
            return QCoreApplication::translate("TBancoSessoes", "Parado pelo operador");
        case TSessao::TSituacao::Interrompida:
            return QCoreApplication::translate("TBancoSessoes", "Interrompido");
        case TSessao::TSituacao::ParadaNaoConfirmada:
            return QCoreApplication::translate("TBancoSessoes",
                                               "Parada não confirmada pela esteira");
        case TSessao::TSituacao::EmAndamento: break;
    }
    return QCoreApplication::translate("TBancoSessoes", "Em andamento");
}

QString TBancoSessoes::CodigoFormula(TSessao::TFormulaFcMaxima formula)
{
    return formula == TSessao::TFormulaFcMaxima::Tanaka ? QStringLiteral("tanaka")
                                                        : QStringLiteral("220");
}

TSessao::TFormulaFcMaxima TBancoSessoes::FormulaDoCodigo(const QString &codigo)
{
    return codigo == QLatin1String("tanaka") ? TSessao::TFormulaFcMaxima::Tanaka
                                             : TSessao::TFormulaFcMaxima::Idade220;
}

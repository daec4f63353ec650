#include "protocol/editorprotocolo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUndoStack>
#include <cmath>

#include "platform/numbertext.h"
#include "protocol/arquivoprotocolo.h"
#include "protocol/bibliotecaprotocolos.h"
#include "protocol/faixaesteira.h"
#include "protocol/regrasprotocolo.h"

namespace {

constexpr TFase kFases[] = {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao};
const QString kFormatoRascunho = QStringLiteral("kestrova-protocolo-rascunho");

using TCampo = TEditorProtocolo::TCampo;

bool Final(TCampo campo)
{
    return campo == TCampo::VelocidadeFinal || campo == TCampo::InclinacaoFinal;
}

bool DeVelocidade(TCampo campo)
{
    return campo == TCampo::Velocidade || campo == TCampo::VelocidadeFinal;
}

// The fields a step of this type has.
bool Usado(TPasso::TTipo tipo, TCampo campo)
{
    return tipo == TPasso::TTipo::Rampa || !Final(campo);
}

// The file's key of a field.
QString Chave(TPasso::TTipo tipo, TCampo campo)
{
    if (campo == TCampo::Duracao)
        return QStringLiteral("duracao_s");
    return DeVelocidade(campo) ? TRegrasProtocolo::ChaveVelocidade(tipo, Final(campo))
                               : TRegrasProtocolo::ChaveInclinacao(tipo, Final(campo));
}

}  // namespace

// An edit: the protocol before and after it. Undo and redo put one or the other back whole,
// which keeps every kind of edit (a field, a moved row, a removed one) exact and simple.
class TEditorProtocolo::TComando : public QUndoCommand {
public:
    TComando(TEditorProtocolo *editor, const QString &texto, TDocumento antes, TDocumento depois)
        : QUndoCommand(texto), FEditor(editor), FAntes(std::move(antes)), FDepois(std::move(depois))
    {
    }
    void undo() override { FEditor->Trocar(FAntes); }
    void redo() override { FEditor->Trocar(FDepois); }

private:
    TEditorProtocolo *FEditor;
    TDocumento FAntes, FDepois;
};

TEditorProtocolo::TEditorProtocolo(TPreviaProtocolo::TFuncaoMets mets, const QLocale &locale,
                                   QObject *parent)
    : QObject(parent), FMets(std::move(mets)), FLocale(locale), FPilha(new QUndoStack(this))
{
    Recalcular();
}

TEditorProtocolo::~TEditorProtocolo() = default;

void TEditorProtocolo::Abrir(const TProtocolo &protocolo)
{
    FPilha->clear();
    FId = protocolo.id;
    FSomenteLeitura = protocolo.embutido;
    FRascunho.clear();
    TDocumento d;
    d.nome = protocolo.nome;
    d.descricao = protocolo.descricao;
    d.fonte = protocolo.fonte;
    for (const TFase fase : kFases)
        for (const TPasso &passo : protocolo.Passos(fase))
            Fase(d, fase).append(LinhaDe(passo));
    FDocumento = d;
    Recalcular();
    emit Mudou();
}

QString TEditorProtocolo::Nome() const
{
    return FDocumento.nome;
}

QString TEditorProtocolo::Descricao() const
{
    return FDocumento.descricao;
}

QString TEditorProtocolo::Fonte() const
{
    return FDocumento.fonte;
}

int TEditorProtocolo::Linhas(TFase fase) const
{
    return int(Fase(FDocumento, fase).size());
}

TEditorProtocolo::TLinha TEditorProtocolo::Linha(TFase fase, int linha) const
{
    return Existe(fase, linha) ? Fase(FDocumento, fase).at(linha) : TLinha{};
}

TProtocolo TEditorProtocolo::Protocolo() const
{
    TProtocolo p;
    p.id = FId;
    p.embutido = FSomenteLeitura;
    p.nome = FDocumento.nome.trimmed();
    p.descricao = FDocumento.descricao;
    p.fonte = FDocumento.fonte;
    for (const TFase fase : kFases) {
        QList<TPasso> &passos = fase == TFase::Aquecimento ? p.aquecimento
                                : fase == TFase::Exercicio ? p.exercicio
                                                           : p.recuperacao;
        for (const TLinha &l : Fase(FDocumento, fase)) {
            auto numero = [&](TCampo campo) {
                const std::optional<double> v = LerNumero(l.Texto(campo));
                const double lido = v.value_or(std::nan(""));
                return DeVelocidade(campo) ? FUnidade.Kmh(lido) : lido;
            };
            const qint64 ms =
                TRegrasProtocolo::DuracaoMs(LerDuracaoS(l.Texto(TCampo::Duracao)).value_or(0));
            if (l.tipo == TPasso::TTipo::Estagio)
                passos.append(
                    TPasso::Estagio(ms, numero(TCampo::Velocidade), numero(TCampo::Inclinacao)));
            else
                passos.append(TPasso::Rampa(
                    ms, numero(TCampo::Velocidade), numero(TCampo::Inclinacao),
                    numero(TCampo::VelocidadeFinal), numero(TCampo::InclinacaoFinal)));
        }
    }
    return p;
}

bool TEditorProtocolo::AjustarTexto(TFase fase, int linha, TCampo campo, const QString &texto)
{
    if (!Existe(fase, linha) || !Usado(Linha(fase, linha).tipo, campo))
        return false;
    TDocumento novo = FDocumento;
    Fase(novo, fase)[linha].textos[size_t(campo)] = texto.trimmed();
    return Aplicar(tr("Alterar %1, passo %2").arg(NomeFaseExibida(fase).toLower()).arg(linha + 1),
                   novo);
}

bool TEditorProtocolo::AjustarTipo(TFase fase, int linha, TPasso::TTipo tipo)
{
    if (!Existe(fase, linha))
        return false;
    TDocumento novo = FDocumento;
    TLinha &l = Fase(novo, fase)[linha];
    if (l.tipo == tipo)
        return false;
    l.tipo = tipo;
    // A stage made a ramp starts as a flat ramp of its values; a ramp made a stage keeps its
    // start (the end fields are kept hidden, so turning it back restores them).
    if (tipo == TPasso::TTipo::Rampa && l.Texto(TCampo::VelocidadeFinal).isEmpty() &&
        l.Texto(TCampo::InclinacaoFinal).isEmpty()) {
        l.textos[size_t(TCampo::VelocidadeFinal)] = l.Texto(TCampo::Velocidade);
        l.textos[size_t(TCampo::InclinacaoFinal)] = l.Texto(TCampo::Inclinacao);
    }
    return Aplicar(tr("Tipo do passo %1").arg(linha + 1), novo);
}

bool TEditorProtocolo::AjustarNome(const QString &nome)
{
    TDocumento novo = FDocumento;
    novo.nome = nome;
    return Aplicar(tr("Nome"), novo);
}

bool TEditorProtocolo::AjustarDescricao(const QString &descricao)
{
    TDocumento novo = FDocumento;
    novo.descricao = descricao;
    return Aplicar(tr("Descrição"), novo);
}

bool TEditorProtocolo::AjustarFonte(const QString &fonte)
{
    TDocumento novo = FDocumento;
    novo.fonte = fonte;
    return Aplicar(tr("Fonte"), novo);
}

bool TEditorProtocolo::Inserir(TFase fase, int linha, TPasso::TTipo tipo)
{
    if (linha < 0 || linha > Linhas(fase))
        return false;
    TDocumento novo = FDocumento;
    QList<TLinha> &linhas = Fase(novo, fase);
    TLinha l;
    l.tipo = tipo;
    l.textos[size_t(TCampo::Duracao)] = TextoDuracao(60000);
    if (linha > 0) {  // from where the step before ends
        const TLinha &antes = linhas.at(linha - 1);
        const bool rampa = antes.tipo == TPasso::TTipo::Rampa;
        l.textos[size_t(TCampo::Velocidade)] =
            antes.Texto(rampa ? TCampo::VelocidadeFinal : TCampo::Velocidade);
        l.textos[size_t(TCampo::Inclinacao)] =
            antes.Texto(rampa ? TCampo::InclinacaoFinal : TCampo::Inclinacao);
    } else {
        l.textos[size_t(TCampo::Velocidade)] = TextoVelocidade(2.5);
        l.textos[size_t(TCampo::Inclinacao)] = TextoNumero(0);
    }
    if (tipo == TPasso::TTipo::Rampa) {
        l.textos[size_t(TCampo::VelocidadeFinal)] = l.Texto(TCampo::Velocidade);
        l.textos[size_t(TCampo::InclinacaoFinal)] = l.Texto(TCampo::Inclinacao);
    }
    linhas.insert(linha, l);
    return Aplicar(tr("Novo passo"), novo);
}

bool TEditorProtocolo::Remover(TFase fase, int linha)
{
    if (!Existe(fase, linha))
        return false;
    TDocumento novo = FDocumento;
    Fase(novo, fase).removeAt(linha);
    return Aplicar(tr("Remover passo %1").arg(linha + 1), novo);
}

bool TEditorProtocolo::Mover(TFase fase, int linha, int destino)
{
    if (!Existe(fase, linha) || !Existe(fase, destino) || linha == destino)
        return false;
    TDocumento novo = FDocumento;
    Fase(novo, fase).move(linha, destino);
    return Aplicar(tr("Mover passo %1").arg(linha + 1), novo);
}

bool TEditorProtocolo::Copiar(TFase fase, int linha)
{
    if (!Existe(fase, linha))
        return false;
    TDocumento novo = FDocumento;
    Fase(novo, fase).insert(linha + 1, Fase(novo, fase).at(linha));
    return Aplicar(tr("Copiar passo %1").arg(linha + 1), novo);
}

bool TEditorProtocolo::Modificado() const
{
    return !FPilha->isClean();
}

QList<TEditorProtocolo::TProblema> TEditorProtocolo::Problemas() const
{
    return FProblemas;
}

bool TEditorProtocolo::Valido() const
{
    return FProblemas.isEmpty();
}

QString TEditorProtocolo::Problema(TFase fase, int linha, TCampo campo) const
{
    for (const TProblema &p : FProblemas)
        if (p.fase == fase && p.linha == linha && p.campo == campo)
            return p.texto;
    return {};
}

QString TEditorProtocolo::ProblemaDoTexto(TFase fase, int linha, TCampo campo,
                                          const QString &texto) const
{
    if (!Existe(fase, linha))
        return {};
    const TPasso::TTipo tipo = Linha(fase, linha).tipo;
    if (!Usado(tipo, campo))
        return {};
    const QString onde = TRegrasProtocolo::Onde(fase, linha);
    const QString chave = Chave(tipo, campo);
    if (texto.trimmed().isEmpty())
        return TRegrasProtocolo::Ausente(onde, chave);
    if (campo == TCampo::Duracao) {
        const std::optional<double> s = LerDuracaoS(texto);
        return s ? TRegrasProtocolo::Duracao(onde, *s) : TRegrasProtocolo::NaoNumero(onde, chave);
    }
    const std::optional<double> v = LerNumero(texto);
    if (!v)
        return TRegrasProtocolo::NaoNumero(onde, chave);
    return DeVelocidade(campo)
               ? TRegrasProtocolo::Velocidade(onde, chave, FUnidade.Kmh(*v), FUnidade)
               : TRegrasProtocolo::Inclinacao(onde, chave, *v);
}

QStringList TEditorProtocolo::Limitacoes(TFase fase, int linha) const
{
    if (!Existe(fase, linha))
        return {};
    // Numbered through the whole test, as the loader's report and the runner's events are.
    int estagio = linha + 1;
    for (const TFase antes : kFases) {
        if (antes == fase)
            break;
        estagio += Linhas(antes);
    }
    const TProtocolo p = Protocolo();
    const TPasso &passo = p.Passos(fase).at(linha);
    if (std::isnan(passo.velocidadeInicial + passo.inclinacaoInicial + passo.velocidadeFinal +
                   passo.inclinacaoFinal))
        return {};
    return TFaixaEsteira::LimitacoesDoPasso(passo, tr("Estágio %1").arg(estagio), FUnidade);
}

bool TEditorProtocolo::Salvar(const QString &pasta, QString *erro)
{
    auto falhar = [&](const QString &texto) {
        if (erro)
            *erro = texto;
        return false;
    };
    if (FSomenteLeitura)
        return falhar(tr("um protocolo embutido não pode ser alterado; use Duplicar"));
    if (const QString problema = TRegrasProtocolo::Identificador(FId); !problema.isEmpty())
        return falhar(problema);
    if (!Valido())
        return falhar(FProblemas.first().texto);
    const QByteArray bytes = TArquivoProtocolo::Escrever(Protocolo());
    QString problema;
    if (!TArquivoProtocolo::Ler(bytes, FId, &problema))  // what the loader will say
        return falhar(problema);
    if (!QDir().mkpath(pasta))
        return falhar(tr("não foi possível criar a pasta %1").arg(pasta));
    if (!TBibliotecaProtocolos::GravarArquivo(QDir(pasta).filePath(FId + QStringLiteral(".json")),
                                              bytes, erro))
        return false;
    FPilha->setClean();
    DescartarRascunho();
    return true;
}

void TEditorProtocolo::AjustarRascunho(const QString &caminho)
{
    FRascunho = caminho;
}

bool TEditorProtocolo::RestaurarRascunho(const QString &caminho)
{
    QFile arquivo(caminho);
    if (FSomenteLeitura || !arquivo.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject raiz = QJsonDocument::fromJson(arquivo.readAll()).object();
    if (raiz.value(QLatin1String("formato")).toString() != kFormatoRascunho ||
        raiz.value(QLatin1String("id")).toString() != FId)
        return false;
    const TUnidadeVelocidade unidade =
        TUnidadeVelocidade::DoCodigo(raiz.value(QLatin1String("unidade")).toString())
            .value_or(TUnidadeVelocidade());
    TDocumento d;
    d.nome = raiz.value(QLatin1String("nome")).toString();
    d.descricao = raiz.value(QLatin1String("descricao")).toString();
    d.fonte = raiz.value(QLatin1String("fonte")).toString();
    for (const TFase fase : kFases) {
        for (const QJsonValue &valor : raiz.value(TRegrasProtocolo::ChaveFase(fase)).toArray()) {
            const QJsonObject o = valor.toObject();
            TLinha l;
            l.tipo = o.value(QLatin1String("tipo")).toString() == QLatin1String("rampa")
                         ? TPasso::TTipo::Rampa
                         : TPasso::TTipo::Estagio;
            const QJsonArray textos = o.value(QLatin1String("textos")).toArray();
            for (int i = 0; i < kCampos; ++i)
                l.textos[size_t(i)] = textos.at(i).toString();
            // A draft typed in the other unit: its speeds as this unit shows them.
            if (!(unidade == FUnidade))
                for (const TCampo campo : {TCampo::Velocidade, TCampo::VelocidadeFinal})
                    if (const auto v = LerNumero(l.Texto(campo)))
                        l.textos[size_t(campo)] = TextoVelocidade(unidade.Kmh(*v));
            Fase(d, fase).append(l);
        }
    }
    FRascunho = caminho;
    Aplicar(tr("Recuperar edição não salva"), d);
    return true;
}

void TEditorProtocolo::DescartarRascunho()
{
    if (!FRascunho.isEmpty())
        QFile::remove(FRascunho);
}

QString TEditorProtocolo::TextoDuracao(qint64 ms) const
{
    const qint64 minutos = ms / 60000;
    const qint64 resto = ms % 60000;
    QString segundos = resto % 1000 == 0 ? QString::number(resto / 1000)
                                         : TNumberText::General(double(resto) / 1000, FLocale);
    if (resto < 10000)
        segundos.prepend(QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(minutos).arg(segundos);
}

std::optional<double> TEditorProtocolo::LerDuracaoS(const QString &texto) const
{
    const QStringList partes = texto.trimmed().split(QLatin1Char(':'));
    if (partes.size() == 1) {  // minutes
        const std::optional<double> minutos = LerNumero(partes.first());
        return minutos ? std::optional<double>(*minutos * 60) : std::nullopt;
    }
    int minutos = 0;
    const std::optional<double> segundos = LerNumero(partes.value(1));
    if (partes.size() != 2 || !TNumberText::ReadInt(partes.first(), FLocale, minutos) ||
        minutos < 0 || !segundos || *segundos < 0 || *segundos >= 60)
        return std::nullopt;
    return minutos * 60.0 + *segundos;
}

std::optional<double> TEditorProtocolo::LerNumero(const QString &texto) const
{
    // The user's locale first, then a point or a comma whatever the locale.
    double valor = 0;
    for (const QLocale &locale :
         {FLocale, QLocale::c(), QLocale(QLocale::Portuguese, QLocale::Brazil)})
        if (TNumberText::Read(texto, locale, valor))
            return valor;
    return std::nullopt;
}

QString TEditorProtocolo::TextoNumero(double valor) const
{
    return TNumberText::General(valor, FLocale);
}

QString TEditorProtocolo::TextoVelocidade(double kmh) const
{
    if (!FUnidade.Mph())
        return TextoNumero(kmh);
    // The board's step converted back, with the decimals that tell steps apart.
    const double escala = std::pow(10.0, FUnidade.Casas());
    return TextoNumero(
        std::round(FUnidade.DeKmh(TFaixaEsteira::QuantizarVelocidade(kmh)) * escala) / escala);
}

bool TEditorProtocolo::Aplicar(const QString &texto, const TDocumento &novo)
{
    if (FSomenteLeitura || novo == FDocumento)
        return false;
    FPilha->push(new TComando(this, texto, FDocumento, novo));  // redo() applies it
    return true;
}

void TEditorProtocolo::Trocar(const TDocumento &documento)
{
    FDocumento = documento;
    Recalcular();
    GravarRascunho();
    emit Mudou();
}

void TEditorProtocolo::Recalcular()
{
    FProblemas.clear();
    if (const QString p = TRegrasProtocolo::Nome(FDocumento.nome); !p.isEmpty())
        FProblemas.append({TFase::Exercicio, -1, std::nullopt, p});
    for (const TFase fase : kFases) {
        const QList<TLinha> &linhas = Fase(FDocumento, fase);
        for (int i = 0; i < linhas.size(); ++i)
            for (int c = 0; c < kCampos; ++c) {
                const TCampo campo = TCampo(c);
                const QString p = ProblemaDoTexto(fase, i, campo, linhas[i].Texto(campo));
                if (!p.isEmpty())
                    FProblemas.append({fase, i, campo, p});
            }
        if (fase == TFase::Exercicio)
            if (const QString p = TRegrasProtocolo::ExercicioVazio(int(linhas.size()));
                !p.isEmpty())
                FProblemas.append({fase, -1, std::nullopt, p});
    }
    FPrevia = FProblemas.isEmpty()
                  ? TPreviaProtocolo(Protocolo(), FMets, TFaixaEsteira::kVelocidadeMaxima,
                                     TFaixaEsteira::kInclinacaoMaxima, FUnidade)
                  : TPreviaProtocolo();
}

void TEditorProtocolo::GravarRascunho() const
{
    if (FRascunho.isEmpty())
        return;
    QJsonObject raiz{{"formato", kFormatoRascunho}, {"id", FId},
                     {"nome", FDocumento.nome},     {"descricao", FDocumento.descricao},
                     {"fonte", FDocumento.fonte},   {"unidade", FUnidade.Codigo()}};
    for (const TFase fase : kFases) {
        QJsonArray lista;
        for (const TLinha &l : Fase(FDocumento, fase)) {
            QJsonArray textos;
            for (const QString &t : l.textos)
                textos.append(t);
            lista.append(QJsonObject{{"tipo", l.tipo == TPasso::TTipo::Rampa ? "rampa" : "estagio"},
                                     {"textos", textos}});
        }
        raiz.insert(TRegrasProtocolo::ChaveFase(fase), lista);
    }
    QDir().mkpath(QFileInfo(FRascunho).path());
    TBibliotecaProtocolos::GravarArquivo(FRascunho, QJsonDocument(raiz).toJson(), nullptr);
}

TEditorProtocolo::TLinha TEditorProtocolo::LinhaDe(const TPasso &passo) const
{
    TLinha l;
    l.tipo = passo.tipo;
    l.textos[size_t(TCampo::Duracao)] = TextoDuracao(passo.duracaoMs);
    l.textos[size_t(TCampo::Velocidade)] = TextoVelocidade(passo.velocidadeInicial);
    l.textos[size_t(TCampo::Inclinacao)] = TextoNumero(passo.inclinacaoInicial);
    if (passo.tipo == TPasso::TTipo::Rampa) {
        l.textos[size_t(TCampo::VelocidadeFinal)] = TextoVelocidade(passo.velocidadeFinal);
        l.textos[size_t(TCampo::InclinacaoFinal)] = TextoNumero(passo.inclinacaoFinal);
    }
    return l;
}

QList<TEditorProtocolo::TLinha> &TEditorProtocolo::Fase(TDocumento &documento, TFase fase)
{
    return documento.fases[size_t(fase)];
}

const QList<TEditorProtocolo::TLinha> &TEditorProtocolo::Fase(const TDocumento &documento,
                                                              TFase fase)
{
    return documento.fases[size_t(fase)];
}

bool TEditorProtocolo::Existe(TFase fase, int linha) const
{
    return linha >= 0 && linha < Linhas(fase);
}

#include "protocol/regrasprotocolo.h"

#include <QCoreApplication>
#include <cmath>

#include "protocol/bibliotecaprotocolos.h"
#include "protocol/faixaesteira.h"

QString TRegrasProtocolo::ChaveFase(TFase fase)
{
    switch (fase) {
        case TFase::Aquecimento: return QStringLiteral("aquecimento");
        case TFase::Exercicio: return QStringLiteral("exercicio");
        case TFase::Recuperacao: break;
    }
    return QStringLiteral("recuperacao");
}

QString TRegrasProtocolo::Onde(TFase fase, int passo)
{
    return QStringLiteral("%1, passo %2").arg(ChaveFase(fase)).arg(passo + 1);
}

QString TRegrasProtocolo::ChaveVelocidade(TPasso::TTipo tipo, bool final)
{
    if (tipo == TPasso::TTipo::Estagio)
        return QStringLiteral("velocidade");
    return final ? QStringLiteral("velocidade_final") : QStringLiteral("velocidade_inicial");
}

QString TRegrasProtocolo::ChaveInclinacao(TPasso::TTipo tipo, bool final)
{
    if (tipo == TPasso::TTipo::Estagio)
        return QStringLiteral("inclinacao");
    return final ? QStringLiteral("inclinacao_final") : QStringLiteral("inclinacao_inicial");
}

QString TRegrasProtocolo::Ausente(const QString &onde, const QString &chave)
{
    return QCoreApplication::translate("TRegrasProtocolo", "%1: \"%2\" ausente").arg(onde, chave);
}

QString TRegrasProtocolo::NaoNumero(const QString &onde, const QString &chave)
{
    return QCoreApplication::translate("TRegrasProtocolo", "%1: \"%2\" não é um número")
        .arg(onde, chave);
}

qint64 TRegrasProtocolo::DuracaoMs(double segundos)
{
    return std::llround(segundos * 1000);
}

QString TRegrasProtocolo::Duracao(const QString &onde, double segundos)
{
    // Judged on the milliseconds kept: a fraction that rounds to 0 ms would be a step that
    // never runs.
    if (!std::isfinite(segundos))
        return NaoNumero(onde, QStringLiteral("duracao_s"));
    if (segundos <= 0 || segundos * 1000 > double(kDuracaoMaximaMs) || DuracaoMs(segundos) <= 0)
        return QCoreApplication::translate(
                   "TRegrasProtocolo", "%1: \"duracao_s\" = %2 deve ser maior que 0 e até 86400")
            .arg(onde)
            .arg(segundos);
    return {};
}

QString TRegrasProtocolo::Velocidade(const QString &onde, const QString &chave, double kmh,
                                     const TUnidadeVelocidade &unidade)
{
    if (!std::isfinite(kmh))
        return NaoNumero(onde, chave);
    if (kmh < 0 || kmh > TFaixaEsteira::kVelocidadeRecusada) {
        if (unidade.Mph())
            return QCoreApplication::translate("TRegrasProtocolo",
                                               "%1: \"%2\" = %3 fora da faixa da esteira (0 a %4)")
                .arg(onde, chave, unidade.Texto(kmh),
                     unidade.Numero(TFaixaEsteira::kVelocidadeRecusada));
        return QCoreApplication::translate("TRegrasProtocolo",
                                           "%1: \"%2\" = %3 km/h fora da faixa da esteira (0 a %4)")
            .arg(onde, chave)
            .arg(kmh)
            .arg(TFaixaEsteira::kVelocidadeRecusada);
    }
    return {};
}

QString TRegrasProtocolo::Inclinacao(const QString &onde, const QString &chave, double pct)
{
    if (!std::isfinite(pct))
        return NaoNumero(onde, chave);
    if (pct < 0 || pct > TFaixaEsteira::kInclinacaoRecusada)
        return QCoreApplication::translate("TRegrasProtocolo",
                                           "%1: \"%2\" = %3 % fora da faixa da esteira (0 a %4)")
            .arg(onde, chave)
            .arg(pct)
            .arg(TFaixaEsteira::kInclinacaoRecusada);
    return {};
}

QString TRegrasProtocolo::Nome(const QString &nome)
{
    return nome.trimmed().isEmpty()
               ? QCoreApplication::translate("TRegrasProtocolo", "\"nome\" ausente ou vazio")
               : QString();
}

QString TRegrasProtocolo::ExercicioVazio(int passos)
{
    return passos == 0
               ? QCoreApplication::translate("TRegrasProtocolo", "a fase \"exercicio\" está vazia")
               : QString();
}

QString TRegrasProtocolo::Identificador(const QString &id)
{
    if (id.trimmed().isEmpty())
        return QCoreApplication::translate("TRegrasProtocolo", "o nome do arquivo está vazio");
    if (TBibliotecaProtocolos::IdEmbutido(id))
        return QCoreApplication::translate("TRegrasProtocolo",
                                           "o nome \"%1\" é de um protocolo embutido")
            .arg(id);
    return {};
}

QList<TRegrasProtocolo::TProblema> TRegrasProtocolo::Verificar(const TProtocolo &protocolo)
{
    QList<TProblema> problemas;
    auto anotar = [&](TFase fase, int passo, const QString &chave, const QString &texto) {
        if (!texto.isEmpty())
            problemas.append({fase, passo, chave, texto});
    };
    anotar(TFase::Exercicio, -1, QStringLiteral("nome"), Nome(protocolo.nome));
    for (const TFase fase : {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao}) {
        const QList<TPasso> &passos = protocolo.Passos(fase);
        for (int i = 0; i < passos.size(); ++i) {
            const TPasso &p = passos[i];
            const QString onde = Onde(fase, i);
            anotar(fase, i, QStringLiteral("duracao_s"), Duracao(onde, double(p.duracaoMs) / 1000));
            const QString vi = ChaveVelocidade(p.tipo, false), ii = ChaveInclinacao(p.tipo, false);
            anotar(fase, i, vi, Velocidade(onde, vi, p.velocidadeInicial));
            anotar(fase, i, ii, Inclinacao(onde, ii, p.inclinacaoInicial));
            if (p.tipo != TPasso::TTipo::Rampa)
                continue;
            const QString vf = ChaveVelocidade(p.tipo, true), inf = ChaveInclinacao(p.tipo, true);
            anotar(fase, i, vf, Velocidade(onde, vf, p.velocidadeFinal));
            anotar(fase, i, inf, Inclinacao(onde, inf, p.inclinacaoFinal));
        }
        if (fase == TFase::Exercicio)
            anotar(fase, -1, QStringLiteral("exercicio"), ExercicioVazio(int(passos.size())));
    }
    return problemas;
}

#include "protocol/geradorrampa.h"

#include <QCoreApplication>
#include <cmath>

#include "protocol/embutidos.h"
#include "protocol/faixaesteira.h"

namespace {

QString Validar(const TParametrosRampa &p)
{
    for (const double v :
         {p.velocidadeInicial, p.velocidadePico, p.inclinacaoInicial, p.inclinacaoPico})
        if (!std::isfinite(v))
            return QCoreApplication::translate("TGeradorRampa", "valor inválido");
    if (p.duracaoMs < TGeradorRampa::kDuracaoMinimaMs ||
        p.duracaoMs > TGeradorRampa::kDuracaoMaximaMs)
        return QCoreApplication::translate("TGeradorRampa",
                                           "a duração da rampa deve ser de 8 a 12 minutos");
    if (p.velocidadeInicial < TFaixaEsteira::kVelocidadeMinima ||
        p.velocidadePico > TFaixaEsteira::kVelocidadeMaxima)
        return QCoreApplication::translate("TGeradorRampa",
                                           "as velocidades devem estar entre 1.5 e 18.0 km/h");
    if (p.inclinacaoInicial < 0 || p.inclinacaoPico > TFaixaEsteira::kInclinacaoMaxima)
        return QCoreApplication::translate("TGeradorRampa",
                                           "as inclinações devem estar entre 0 e 25 %");
    if (p.velocidadePico < p.velocidadeInicial || p.inclinacaoPico < p.inclinacaoInicial)
        return QCoreApplication::translate("TGeradorRampa",
                                           "o pico não pode ser menor que o início");
    if (p.velocidadePico == p.velocidadeInicial && p.inclinacaoPico == p.inclinacaoInicial)
        return QCoreApplication::translate("TGeradorRampa", "o pico deve ser maior que o início");
    return {};
}

}  // namespace

TProtocolo TGeradorRampa::Gerar(const TParametrosRampa &p, QString *erro)
{
    const QString falha = Validar(p);
    if (!falha.isEmpty()) {
        if (erro)
            *erro = falha;
        return {};
    }
    TProtocolo protocolo;
    protocolo.id = QStringLiteral("rampa");
    protocolo.nome = QStringLiteral("Rampa individualizada");
    protocolo.descricao = QStringLiteral("De %1 km/h e %2 % a %3 km/h e %4 % em %5 min.")
                              .arg(p.velocidadeInicial, 0, 'f', 1)
                              .arg(p.inclinacaoInicial, 0, 'f', 1)
                              .arg(p.velocidadePico, 0, 'f', 1)
                              .arg(p.inclinacaoPico, 0, 'f', 1)
                              .arg(double(p.duracaoMs) / 60000.0, 0, 'g', 3);
    protocolo.fonte = QStringLiteral("Myers et al., J Am Coll Cardiol 1991;17:1334-1342");
    protocolo.embutido = true;
    protocolo.exercicio.append(TPasso::Rampa(p.duracaoMs, p.velocidadeInicial, p.inclinacaoInicial,
                                             p.velocidadePico, p.inclinacaoPico));
    protocolo.recuperacao = TEmbutidos::RecuperacaoPadrao();
    return protocolo;
}

#include "protocol/passo.h"

TPasso TPasso::Estagio(qint64 duracaoMs, double velocidade, double inclinacao)
{
    return Rampa(duracaoMs, velocidade, inclinacao, velocidade, inclinacao, TTipo::Estagio);
}

TPasso TPasso::Rampa(qint64 duracaoMs, double velocidadeInicial, double inclinacaoInicial,
                     double velocidadeFinal, double inclinacaoFinal)
{
    return Rampa(duracaoMs, velocidadeInicial, inclinacaoInicial, velocidadeFinal, inclinacaoFinal,
                 TTipo::Rampa);
}

TPasso TPasso::Rampa(qint64 duracaoMs, double velocidadeInicial, double inclinacaoInicial,
                     double velocidadeFinal, double inclinacaoFinal, TTipo tipo)
{
    TPasso passo;
    passo.tipo = tipo;
    passo.duracaoMs = duracaoMs;
    passo.velocidadeInicial = velocidadeInicial;
    passo.inclinacaoInicial = inclinacaoInicial;
    passo.velocidadeFinal = velocidadeFinal;
    passo.inclinacaoFinal = inclinacaoFinal;
    return passo;
}

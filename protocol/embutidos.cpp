#include "protocol/embutidos.h"

namespace {

constexpr qint64 kMinuto = 60000;

QList<TPasso> EstagiosBruce()
{
    // km/h and % of the standard Bruce stages 1..8; stage 9 needs 26 % and is not offered.
    const double estagios[][2] = {{2.7, 10}, {4.0, 12}, {5.5, 14}, {6.8, 16},
                                  {8.0, 18}, {8.9, 20}, {9.7, 22}, {10.5, 24}};
    QList<TPasso> passos;
    for (const auto &e : estagios)
        passos.append(TPasso::Estagio(3 * kMinuto, e[0], e[1]));
    return passos;
}

TProtocolo Novo(const char *id, const QString &nome, const QString &descricao, const QString &fonte,
                QList<TPasso> exercicio)
{
    TProtocolo p;
    p.id = QString::fromLatin1(id);
    p.nome = nome;
    p.descricao = descricao;
    p.fonte = fonte;
    p.embutido = true;
    p.exercicio = std::move(exercicio);
    p.recuperacao = TEmbutidos::RecuperacaoPadrao();
    return p;
}

TProtocolo Bruce()
{
    return Novo("bruce", QStringLiteral("Bruce"),
                QStringLiteral("Estágios de 3 minutos, de 2.7 km/h e 10 % a 10.5 km/h e 24 %."),
                QStringLiteral("Bruce, Kusumi e Hosmer, Am Heart J 1973;85:546-562"),
                EstagiosBruce());
}

TProtocolo BruceModificado()
{
    QList<TPasso> passos{TPasso::Estagio(3 * kMinuto, 2.7, 0),
                         TPasso::Estagio(3 * kMinuto, 2.7, 5)};
    return Novo("bruce-modificado", QStringLiteral("Bruce modificado"),
                QStringLiteral("Dois estágios de 3 minutos a 2.7 km/h (0 % e 5 %) antes do "
                               "estágio 1 de Bruce."),
                QStringLiteral("Fletcher et al., Exercise Standards for Testing and Training, "
                               "Circulation 2013;128:873-934"),
                passos + EstagiosBruce());
}

TProtocolo BalkeWare()
{
    QList<TPasso> passos{TPasso::Estagio(kMinuto, 5.3, 0)};
    for (int inclinacao = 2; inclinacao <= 25; ++inclinacao)
        passos.append(TPasso::Estagio(kMinuto, 5.3, inclinacao));
    return Novo("balke-ware", QStringLiteral("Balke-Ware"),
                QStringLiteral("5.3 km/h; 0 % no primeiro minuto, 2 % no minuto 1, depois +1 % "
                               "por minuto até 25 %."),
                QStringLiteral("Balke e Ware, US Armed Forces Med J 1959;10:675-688"), passos);
}

TProtocolo Usafsam()
{
    QList<TPasso> passos;
    for (int inclinacao = 0; inclinacao <= 25; inclinacao += 5)
        passos.append(TPasso::Estagio(3 * kMinuto, 5.3, inclinacao));
    return Novo("usafsam", QStringLiteral("USAFSAM"),
                QStringLiteral("5.3 km/h; 0 %, depois +5 % a cada 3 minutos até 25 %."),
                QStringLiteral("Wolthuis et al., Am J Cardiol 1977;39:697-700"), passos);
}

}  // namespace

QList<TProtocolo> TEmbutidos::Todos()
{
    return {Bruce(), BruceModificado(), BalkeWare(), Usafsam()};
}

QList<TPasso> TEmbutidos::RecuperacaoPadrao()
{
    return {TPasso::Estagio(kRecuperacaoMs, kVelocidadeRecuperacao, 0)};
}

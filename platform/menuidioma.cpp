#include "platform/menuidioma.h"

#include <QActionGroup>
#include <QCoreApplication>

void PreencherMenuIdioma(QMenu &menu, std::optional<TIdioma> preferido,
                         const std::function<void(std::optional<TIdioma>)> &escolher)
{
    auto *grupo = new QActionGroup(&menu);
    const auto acrescentar = [&](const QString &nome, const QString &texto,
                                 std::optional<TIdioma> idioma) {
        QAction *acao = menu.addAction(texto);
        acao->setObjectName(nome);
        acao->setCheckable(true);
        acao->setChecked(idioma == preferido);
        grupo->addAction(acao);
        QObject::connect(acao, &QAction::triggered, &menu,
                         [escolher, idioma] { escolher(idioma); });
    };
    acrescentar(QStringLiteral("actIdiomaDoSistema"),
                QCoreApplication::translate("MenuIdioma", "Idioma do sistema"), std::nullopt);
    acrescentar(QStringLiteral("actPortugues"), QStringLiteral("Português"), TIdioma::Portugues);
    acrescentar(QStringLiteral("actIngles"), QStringLiteral("English"), TIdioma::Ingles);
    menu.addSeparator();
    QAction *nota = menu.addAction(
        QCoreApplication::translate("MenuIdioma", "A escolha vale a partir da próxima abertura."));
    nota->setObjectName(QStringLiteral("actNotaIdioma"));
    nota->setEnabled(false);
}

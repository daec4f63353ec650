#include "heartrate/preferenciacinta.h"

#include <QSettings>

namespace {

// A fixed name, not the program's: the console and orvanta-ctl read the same choice.
QSettings Compartilhadas()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("Kestrova"));
}

const QString kTipo = QStringLiteral("Cinta/tipo");
const QString kEndereco = QStringLiteral("Cinta/endereco");
const QString kNome = QStringLiteral("Cinta/nome");

QString NomeDoTipo(TPreferenciaCinta::TTipo tipo)
{
    switch (tipo) {
        case TPreferenciaCinta::TTipo::Simulada: return QStringLiteral("simulada");
        case TPreferenciaCinta::TTipo::Bluetooth: return QStringLiteral("bluetooth");
        case TPreferenciaCinta::TTipo::Nenhuma: break;
    }
    return QStringLiteral("nenhuma");
}

}  // namespace

TPreferenciaCinta TPreferenciaCinta::Carregar()
{
    const QSettings settings = Compartilhadas();
    TPreferenciaCinta escolha;
    const QString tipo = settings.value(kTipo).toString();
    escolha.endereco = settings.value(kEndereco).toString().trimmed();
    escolha.nome = settings.value(kNome).toString();
    if (tipo == NomeDoTipo(TTipo::Simulada))
        escolha.tipo = TTipo::Simulada;
    else if (tipo == NomeDoTipo(TTipo::Bluetooth) && !escolha.endereco.isEmpty())
        escolha.tipo = TTipo::Bluetooth;
    return escolha;
}

bool TPreferenciaCinta::Salvar() const
{
    QSettings settings = Compartilhadas();
    settings.setValue(kTipo, NomeDoTipo(tipo));
    settings.setValue(kEndereco, endereco);
    settings.setValue(kNome, nome);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

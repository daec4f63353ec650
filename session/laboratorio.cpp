#include "session/laboratorio.h"

#include <QSettings>

namespace {

// A fixed name, not the program's: the console, the browser and orvanta-ctl print the same header.
QSettings Compartilhadas()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("Kestrova"));
}

const QString kNome = QStringLiteral("Laboratorio/nome");
const QString kEndereco = QStringLiteral("Laboratorio/endereco");
const QString kLogotipo = QStringLiteral("Laboratorio/logotipo");

}  // namespace

bool TLaboratorio::Vazio() const
{
    return nome.trimmed().isEmpty() && endereco.trimmed().isEmpty() && logotipo.trimmed().isEmpty();
}

TLaboratorio TLaboratorio::Carregar()
{
    const QSettings settings = Compartilhadas();
    TLaboratorio l;
    l.nome = settings.value(kNome).toString().trimmed();
    l.endereco = settings.value(kEndereco).toString().trimmed();
    l.logotipo = settings.value(kLogotipo).toString().trimmed();
    return l;
}

bool TLaboratorio::Salvar() const
{
    QSettings settings = Compartilhadas();
    settings.setValue(kNome, nome);
    settings.setValue(kEndereco, endereco);
    settings.setValue(kLogotipo, logotipo);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

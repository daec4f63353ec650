#include "tools/cli/heartratecommands.h"

#include "heartrate/decodificadormedicao.h"
#include "tools/cli/protocoloptions.h"

namespace heartratecli {

namespace {

int Fail(int status, const QString &text)
{
    protocolcli::PrintError(text);
    return status;
}

}  // namespace

std::optional<int> RunHeartRateCommand(const QStringList &words)
{
    if (words.value(0) != QLatin1String("hr-decode"))
        return std::nullopt;
    if (words.size() < 2)
        return Fail(2, QStringLiteral("hr-decode needs the notification's bytes in hex"));
    QString motivo;
    const std::optional<QByteArray> bytes =
        TDecodificadorMedicao::LerHex(words.mid(1).join(QLatin1Char(' ')), &motivo);
    if (!bytes)
        return Fail(2, QStringLiteral("hr-decode: ") + motivo);
    const std::optional<TLeituraCardiaca> leitura =
        TDecodificadorMedicao::Interpretar(*bytes, &motivo);
    if (!leitura)
        return Fail(1, QStringLiteral("notificação recusada: ") + motivo);
    protocolcli::PrintLine(TDecodificadorMedicao::Descrever(*leitura));
    return 0;
}

}  // namespace heartratecli

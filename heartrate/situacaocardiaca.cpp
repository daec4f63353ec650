#include "heartrate/situacaocardiaca.h"

#include <QCoreApplication>
#include <QStringList>

#include "heartrate/falhabluetooth.h"
#include "platform/tradutormodelos.h"

QString TraduzirSituacaoCardiaca(const QString &texto)
{
    using namespace SituacaoCardiaca;
    for (const char *fonte : {kSemSinal, kSinalRecebido, kSinalRestabelecido, kConectada,
                              kReconectada, kPerdida, kNaoEncontrada, kBateria, kFimDoTraco}) {
        QStringList valores;
        if (TTradutorModelos::Casar(texto, QString::fromUtf8(fonte), valores))
            return TTradutorModelos::Preencher(
                QCoreApplication::translate("TSituacaoCardiaca", fonte), valores);
    }
    for (const TFalhaBluetooth falha :
         {TFalhaBluetooth::SemAdaptador, TFalhaBluetooth::Desligado, TFalhaBluetooth::SemPermissao,
          TFalhaBluetooth::Servico, TFalhaBluetooth::NaoCompilado})
        if (texto == TextoFalhaBluetoothGravado(falha))
            return TextoFalhaBluetooth(falha);
    return texto;
}

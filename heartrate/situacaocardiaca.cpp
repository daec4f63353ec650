#include "heartrate/situacaocardiaca.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "heartrate/falhabluetooth.h"

namespace {

const QRegularExpression &Marcador()
{
    static const QRegularExpression marcador(QStringLiteral("%([1-9])"));
    return marcador;
}

// The text as the model with its values, or nothing: each %n matches any run of characters.
bool Casar(const QString &texto, const QString &modelo, QStringList &valores)
{
    QString padrao = QStringLiteral("^");
    QList<int> ordem;  // the number of each marker, in the order they appear
    qsizetype desde = 0;
    for (auto it = Marcador().globalMatch(modelo); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        padrao += QRegularExpression::escape(modelo.mid(desde, m.capturedStart() - desde)) +
                  QStringLiteral("(.*)");
        ordem << m.captured(1).toInt();
        desde = m.capturedEnd();
    }
    padrao += QRegularExpression::escape(modelo.mid(desde)) + QLatin1Char('$');
    const QRegularExpressionMatch m = QRegularExpression(padrao).match(texto);
    if (!m.hasMatch())
        return false;
    valores = QStringList(10);
    for (qsizetype i = 0; i < ordem.size(); ++i)
        valores[ordem.at(i)] = m.captured(int(i + 1));
    return true;
}

// The translation with its markers replaced in one pass, so a value holding "%2" stays as is.
QString Preencher(const QString &traducao, const QStringList &valores)
{
    QString texto;
    qsizetype desde = 0;
    for (auto it = Marcador().globalMatch(traducao); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        texto +=
            traducao.mid(desde, m.capturedStart() - desde) + valores.value(m.captured(1).toInt());
        desde = m.capturedEnd();
    }
    return texto + traducao.mid(desde);
}

}  // namespace

QString TraduzirSituacaoCardiaca(const QString &texto)
{
    using namespace SituacaoCardiaca;
    for (const char *fonte : {kSemSinal, kSinalRecebido, kSinalRestabelecido, kConectada,
                              kReconectada, kPerdida, kNaoEncontrada, kBateria, kFimDoTraco}) {
        QStringList valores;
        if (Casar(texto, QString::fromUtf8(fonte), valores))
            return Preencher(QCoreApplication::translate("TSituacaoCardiaca", fonte), valores);
    }
    for (const TFalhaBluetooth falha :
         {TFalhaBluetooth::SemAdaptador, TFalhaBluetooth::Desligado, TFalhaBluetooth::SemPermissao,
          TFalhaBluetooth::Servico, TFalhaBluetooth::NaoCompilado})
        if (texto == TextoFalhaBluetoothGravado(falha))
            return TextoFalhaBluetooth(falha);
    return texto;
}

#include "platform/tradutormodelos.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

const QRegularExpression &Marcador()
{
    static const QRegularExpression marcador(QStringLiteral("%([1-9])"));
    return marcador;
}

}  // namespace

QString TTradutorModelos::Traduzir(const QString &texto, std::span<const TModeloTexto> modelos)
{
    for (const TModeloTexto &modelo : modelos) {
        QStringList valores;
        if (Casar(texto, QString::fromUtf8(modelo.fonte), valores))
            return Preencher(QCoreApplication::translate(modelo.contexto, modelo.fonte), valores);
    }
    return texto;
}

// Each %n matches any run of characters.
bool TTradutorModelos::Casar(const QString &texto, const QString &modelo, QStringList &valores)
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
    const QRegularExpressionMatch m =
        QRegularExpression(padrao, QRegularExpression::DotMatchesEverythingOption).match(texto);
    if (!m.hasMatch())
        return false;
    valores = QStringList(10);
    for (qsizetype i = 0; i < ordem.size(); ++i)
        valores[ordem.at(i)] = m.captured(int(i + 1));
    return true;
}

QString TTradutorModelos::Preencher(const QString &traducao, const QStringList &valores)
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

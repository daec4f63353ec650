#include "device/esteira.h"

#include "platform/trace.h"

TEsteira::TEsteira(QObject *Owner, int porta) : FPorta(new TAdvancedCom(Owner))
{
    FPorta->SetTimeout(100);
    FPorta->SetPort(quint32(porta));
}

TEsteira::~TEsteira()
{
    if (FPorta) {
        FPorta->ComClose();
        delete FPorta.data();
    }
}

bool TEsteira::EstaLigada()
{
    return FbLigada;
}

double TEsteira::PegarInclinacao()
{
    return FdInclinacao;
}

double TEsteira::PegarVelocidade()
{
    return FdVelocidade;
}

void TEsteira::Enviar(const char *dados, int tamanho)
{
    if (FPorta)
        FPorta->Write(dados, tamanho);
    Trace(TraceLine("ENVIOU    ", dados, tamanho));
}

QString TraceLine(const char *prefix, const char *dados, qsizetype tamanho)
{
    QString line = QString::fromLatin1(prefix);
    line.reserve(line.size() + tamanho * 6);
    for (qsizetype i = 0; i < tamanho; ++i)
        line += QString::asprintf("0x%02X  ", unsigned(static_cast<unsigned char>(dados[i])));
    return line;
}

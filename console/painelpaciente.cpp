#include "console/painelpaciente.h"

#include <QFormLayout>
#include <QToolTip>

#include "components/editimp.h"
#include "session/relatoriosessao.h"

TPainelPaciente::TPainelPaciente(QWidget *parent) : QGroupBox(QStringLiteral("Paciente"), parent)
{
    auto *layout = new QFormLayout(this);
    for (const TRelatorioSessao::TCaixa &caixa : TRelatorioSessao::CaixasPaciente()) {
        auto *edit = new TEditImp(this);
        edit->setObjectName(QStringLiteral("edt_") + caixa.campo);
        TRelatorioSessao::ConfigurarCaixa(*edit->InterfaceImpressora(), caixa.campo);
        edit->AjustarFbInterfaceImpressoraAtiva(true);
        edit->OnLimiteTexto = [edit](QObject *) {
            QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                               QStringLiteral("O texto não cabe no campo do relatório."), edit);
        };
        layout->addRow(caixa.rotulo + QLatin1Char(':'), edit);
        FCampos.insert(caixa.campo, edit);
    }
}

TPaciente TPainelPaciente::Paciente() const
{
    TPaciente p;
    QString *campos[] = {&p.nome, &p.identificador, &p.nascimento, &p.sexo,
                         &p.peso, &p.altura,        &p.medico,     &p.observacoes};
    const char *nomes[] = {"nome", "identificador", "nascimento", "sexo",
                           "peso", "altura",        "medico",     "observacoes"};
    for (int i = 0; i < 8; ++i)
        *campos[i] = FCampos.value(QString::fromLatin1(nomes[i]))->PegarTexto().trimmed();
    return p;
}

void TPainelPaciente::AjustarPaciente(const TPaciente &paciente)
{
    for (auto it = FCampos.begin(); it != FCampos.end(); ++it)
        it.value()->AjustarTexto(TRelatorioSessao::ValorCampo(paciente, it.key()));
}

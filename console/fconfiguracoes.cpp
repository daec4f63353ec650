#include "console/fconfiguracoes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "console/preferencias.h"
#include "platform/messagebox.h"
#include "session/bancosessoes.h"
#include "session/laboratorio.h"

namespace {

const QString kChaveFormula = QStringLiteral("fcMaxima/formula");
const QString kChaveAlvo = QStringLiteral("fcMaxima/alvo");
const QString kChaveUnidade = QStringLiteral("velocidade/unidade");

}  // namespace

TfrmConfiguracoes::TfrmConfiguracoes(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Configurações"));
    auto *formulario = new QFormLayout(this);
    FFormula = new QComboBox;
    FFormula->setObjectName(QStringLiteral("cmbFormulaFc"));
    const std::pair<TSessao::TFormulaFcMaxima, const char *> formulas[] = {
        {TSessao::TFormulaFcMaxima::Idade220, "220 − idade"},
        {TSessao::TFormulaFcMaxima::Tanaka, "208 − 0,7 × idade (Tanaka)"}};
    for (const auto &[formula, texto] : formulas)
        FFormula->addItem(QString::fromUtf8(texto), TBancoSessoes::CodigoFormula(formula));
    FFormula->setCurrentIndex(std::max(0, FFormula->findData(FormulaFcMaxima())));
    FAlvo = new QDoubleSpinBox;
    FAlvo->setObjectName(QStringLiteral("spnAlvoFc"));
    FAlvo->setRange(50, 100);
    FAlvo->setDecimals(0);
    FAlvo->setSuffix(tr(" % da máxima prevista"));
    FAlvo->setValue(PercentualAlvo());
    FUnidade = new QComboBox;
    FUnidade->setObjectName(QStringLiteral("cmbUnidadeVelocidade"));
    for (const auto unidade :
         {TUnidadeVelocidade::TUnidade::Kmh, TUnidadeVelocidade::TUnidade::Mph}) {
        const TUnidadeVelocidade u(unidade);
        FUnidade->addItem(u.Simbolo(), u.Codigo());
    }
    FUnidade->setCurrentIndex(std::max(0, FUnidade->findData(UnidadeVelocidade().Codigo())));
    const TLaboratorio lab = TLaboratorio::Carregar();
    FNome = new QLineEdit(lab.nome);
    FNome->setObjectName(QStringLiteral("edtLaboratorio"));
    FEndereco = new QPlainTextEdit(lab.endereco);
    FEndereco->setObjectName(QStringLiteral("txtEnderecoLaboratorio"));
    FEndereco->setMaximumHeight(60);
    FLogotipo = new QLineEdit(lab.logotipo);
    FLogotipo->setObjectName(QStringLiteral("edtLogotipo"));
    auto *escolher = new QPushButton(tr("Escolher..."));
    connect(escolher, &QPushButton::clicked, this, [this] {
        const QString arquivo = QFileDialog::getOpenFileName(
            this, tr("Logotipo do laboratório"), QFileInfo(FLogotipo->text()).path(),
            tr("Imagens (*.png *.jpg *.jpeg *.bmp)"));
        if (!arquivo.isEmpty())
            FLogotipo->setText(arquivo);
    });
    auto *logotipo = new QHBoxLayout;
    logotipo->addWidget(FLogotipo, 1);
    logotipo->addWidget(escolher);
    formulario->addRow(tr("FC máxima prevista:"), FFormula);
    formulario->addRow(tr("FC alvo:"), FAlvo);
    formulario->addRow(tr("Unidade de velocidade:"), FUnidade);
    formulario->addRow(tr("Laboratório:"), FNome);
    formulario->addRow(tr("Endereço:"), FEndereco);
    formulario->addRow(tr("Logotipo:"), logotipo);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(botoes, &QDialogButtonBox::accepted, this, [this] {
        if (Salvar())
            accept();
    });
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    formulario->addRow(botoes);
}

bool TfrmConfiguracoes::Salvar()
{
    QSettings preferencias = PreferenciasConsole();
    preferencias.setValue(kChaveFormula, FFormula->currentData());
    preferencias.setValue(kChaveAlvo, FAlvo->value());
    preferencias.setValue(kChaveUnidade, FUnidade->currentData());
    preferencias.sync();
    TLaboratorio lab;
    lab.nome = FNome->text().trimmed();
    lab.endereco = FEndereco->toPlainText().trimmed();
    lab.logotipo = FLogotipo->text().trimmed();
    if (preferencias.status() != QSettings::NoError || !lab.Salvar()) {
        ShowErrorMessage(tr("Não foi possível guardar as configurações."));
        return false;
    }
    return true;
}

QString TfrmConfiguracoes::FormulaFcMaxima()
{
    return PreferenciasConsole().value(kChaveFormula).toString();
}

double TfrmConfiguracoes::PercentualAlvo()
{
    return PreferenciasConsole().value(kChaveAlvo, kAlvoPadrao).toDouble();
}

TUnidadeVelocidade TfrmConfiguracoes::UnidadeVelocidade()
{
    return TUnidadeVelocidade::DoCodigo(PreferenciasConsole().value(kChaveUnidade).toString())
        .value_or(TUnidadeVelocidade());
}

TEscalaVelocidade TfrmConfiguracoes::Escala(const TUnidadeVelocidade &unidade)
{
    return {unidade.Simbolo(), unidade.DeKmh(1), unidade.Casas()};
}

#include "console/painelentradas.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QSpinBox *Inteiro(int minimo, int maximo, int valor, const QString &nome)
{
    auto *caixa = new QSpinBox;
    caixa->setRange(minimo, maximo);
    caixa->setValue(valor);
    caixa->setObjectName(nome);
    return caixa;
}

}  // namespace

TPainelEntradas::TPainelEntradas(QWidget *parent) : QGroupBox(QStringLiteral("Registros"), parent)
{
    auto *grade = new QGridLayout(this);
    FFc = Inteiro(30, 250, 80, QStringLiteral("spnFc"));
    FFc->setSuffix(QStringLiteral(" bpm"));
    FSistolica = Inteiro(50, 300, 120, QStringLiteral("spnSistolica"));
    FDiastolica = Inteiro(20, 200, 80, QStringLiteral("spnDiastolica"));
    FBorg = Inteiro(6, 20, 6, QStringLiteral("spnBorg"));
    FComentario = new QLineEdit;
    FComentario->setObjectName(QStringLiteral("edtComentario"));
    FComentario->setPlaceholderText(QStringLiteral("Comentário"));
    grade->addWidget(new QLabel(QStringLiteral("FC:")), 0, 0);
    grade->addWidget(FFc, 0, 1, 1, 3);
    auto *fc = Registrar(QStringLiteral("btnRegistrarFc"));
    grade->addWidget(fc, 0, 4);
    grade->addWidget(new QLabel(QStringLiteral("PA:")), 1, 0);
    grade->addWidget(FSistolica, 1, 1);
    grade->addWidget(new QLabel(QStringLiteral("/")), 1, 2);
    grade->addWidget(FDiastolica, 1, 3);
    auto *pa = Registrar(QStringLiteral("btnRegistrarPa"));
    grade->addWidget(pa, 1, 4);
    grade->addWidget(new QLabel(QStringLiteral("Borg:")), 2, 0);
    grade->addWidget(FBorg, 2, 1, 1, 3);
    auto *borg = Registrar(QStringLiteral("btnRegistrarBorg"));
    grade->addWidget(borg, 2, 4);
    grade->addWidget(FComentario, 3, 0, 1, 4);
    auto *comentario = Registrar(QStringLiteral("btnRegistrarComentario"));
    grade->addWidget(comentario, 3, 4);
    FMotivo = new QComboBox;
    FMotivo->setObjectName(QStringLiteral("cmbMotivo"));
    FMotivo->addItem(QStringLiteral("(não informado)"), QString());
    for (const QString &m : Motivos())
        FMotivo->addItem(m, m);
    grade->addWidget(new QLabel(QStringLiteral("Motivo da interrupção:")), 4, 0, 1, 2);
    grade->addWidget(FMotivo, 4, 2, 1, 3);
    FComentarios = new QPlainTextEdit;
    FComentarios->setObjectName(QStringLiteral("txtComentarios"));
    FComentarios->setPlaceholderText(QStringLiteral("Comentários do relatório"));
    FComentarios->setMaximumHeight(60);
    grade->addWidget(FComentarios, 5, 0, 1, 5);

    auto enviar = [this](const QString &tipo, double v1, double v2, const QString &texto) {
        TEventoRegistro e;
        e.tipo = tipo;
        e.valor1 = v1;
        e.valor2 = v2;
        e.texto = texto;
        emit Entrada(e);
    };
    connect(fc, &QPushButton::clicked, this, [this, enviar] {
        enviar(QStringLiteral("fc"), FFc->value(), 0,
               QStringLiteral("FC %1 bpm").arg(FFc->value()));
    });
    connect(pa, &QPushButton::clicked, this, [this, enviar] {
        enviar(QStringLiteral("pa"), FSistolica->value(), FDiastolica->value(),
               QStringLiteral("PA %1/%2 mmHg").arg(FSistolica->value()).arg(FDiastolica->value()));
    });
    connect(borg, &QPushButton::clicked, this, [this, enviar] {
        enviar(QStringLiteral("borg"), FBorg->value(), 0,
               QStringLiteral("Borg %1").arg(FBorg->value()));
    });
    connect(comentario, &QPushButton::clicked, this, [this, enviar] {
        const QString texto = FComentario->text().trimmed();
        if (texto.isEmpty())
            return;
        enviar(QStringLiteral("comentario"), 0, 0, texto);
        FComentario->clear();
    });
    connect(FComentario, &QLineEdit::returnPressed, comentario, &QPushButton::click);
    connect(FMotivo, &QComboBox::currentIndexChanged, this, &TPainelEntradas::ConclusaoMudou);
    AjustarGravando(false);
}

QPushButton *TPainelEntradas::Registrar(const QString &nome)
{
    auto *botao = new QPushButton(QStringLiteral("Registrar"));
    botao->setObjectName(nome);
    // Space must reach PARAR, never press an entry button that happens to have the focus.
    botao->setFocusPolicy(Qt::NoFocus);
    FBotoes << botao;
    return botao;
}

QStringList TPainelEntradas::Motivos()
{
    return {QStringLiteral("Teste completo"),
            QStringLiteral("Frequência cardíaca alvo atingida"),
            QStringLiteral("Solicitação do paciente"),
            QStringLiteral("Fadiga"),
            QStringLiteral("Sintomas"),
            QStringLiteral("Pressão arterial anormal"),
            QStringLiteral("Falha do equipamento"),
            QStringLiteral("Decisão do operador"),
            QStringLiteral("Outro")};
}

void TPainelEntradas::AjustarGravando(bool gravando)
{
    for (QPushButton *b : FBotoes)
        b->setEnabled(gravando);
}

QString TPainelEntradas::MotivoParada() const
{
    return FMotivo->currentData().toString();
}

void TPainelEntradas::AjustarMotivoParada(const QString &motivo)
{
    const int i = FMotivo->findData(motivo);
    FMotivo->setCurrentIndex(i >= 0 ? i : 0);
}

QString TPainelEntradas::Comentarios() const
{
    return FComentarios->toPlainText().trimmed();
}

void TPainelEntradas::Limpar()
{
    FMotivo->setCurrentIndex(0);
    FComentarios->clear();
    FComentario->clear();
}

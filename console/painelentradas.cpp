#include "console/painelentradas.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const char *kMinimo = "minimo";
const char *kMaximo = "maximo";
const char *kUnidade = "unidade";

std::optional<int> Valor(const QLineEdit *campo)
{
    return TPainelEntradas::LerInteiro(campo->text(), campo->property(kMinimo).toInt(),
                                       campo->property(kMaximo).toInt());
}

// Empty, or the reason the field's text is refused.
QString Problema(const QLineEdit *campo, const QString &nome)
{
    if (campo->text().trimmed().isEmpty() || Valor(campo))
        return {};
    return QCoreApplication::translate("TPainelEntradas", "%1: de %2 a %3%4")
        .arg(nome)
        .arg(campo->property(kMinimo).toInt())
        .arg(campo->property(kMaximo).toInt())
        .arg(campo->property(kUnidade).toString());
}

void Marcar(QLineEdit *campo, const QString &problema)
{
    campo->setToolTip(problema);
    campo->setStyleSheet(problema.isEmpty() ? QString()
                                            : QStringLiteral("QLineEdit { background: #ffd8d8; }"));
}

}  // namespace

TPainelEntradas::TPainelEntradas(QWidget *parent) : QGroupBox(tr("Registros"), parent)
{
    auto *grade = new QGridLayout(this);
    FFc = Campo(QStringLiteral("edtFc"), kFcMinima, kFcMaxima, QStringLiteral(" bpm"));
    FSistolica = Campo(QStringLiteral("edtSistolica"), kSistolicaMinima, kSistolicaMaxima,
                       QStringLiteral(" mmHg"));
    FDiastolica = Campo(QStringLiteral("edtDiastolica"), kDiastolicaMinima, kDiastolicaMaxima,
                        QStringLiteral(" mmHg"));
    FBorg = Campo(QStringLiteral("edtBorg"), kBorgMinimo, kBorgMaximo, QString());
    FFc->setPlaceholderText(QStringLiteral("bpm"));
    FSistolica->setPlaceholderText(tr("sistólica"));
    FDiastolica->setPlaceholderText(tr("diastólica"));
    FBorg->setPlaceholderText(tr("6 a 20"));
    FComentario = new QLineEdit;
    FComentario->setObjectName(QStringLiteral("edtComentario"));
    FComentario->setPlaceholderText(tr("Comentário"));
    FBotaoFc = Registrar(QStringLiteral("btnRegistrarFc"));
    FBotaoPa = Registrar(QStringLiteral("btnRegistrarPa"));
    FBotaoBorg = Registrar(QStringLiteral("btnRegistrarBorg"));
    FBotaoComentario = Registrar(QStringLiteral("btnRegistrarComentario"));
    grade->addWidget(new QLabel(tr("FC:")), 0, 0);
    grade->addWidget(FFc, 0, 1, 1, 3);
    grade->addWidget(FBotaoFc, 0, 4);
    grade->addWidget(new QLabel(tr("PA:")), 1, 0);
    grade->addWidget(FSistolica, 1, 1);
    grade->addWidget(new QLabel(QStringLiteral("/")), 1, 2);
    grade->addWidget(FDiastolica, 1, 3);
    grade->addWidget(FBotaoPa, 1, 4);
    grade->addWidget(new QLabel(tr("Borg:")), 2, 0);
    grade->addWidget(FBorg, 2, 1, 1, 3);
    grade->addWidget(FBotaoBorg, 2, 4);
    FAngina = Campo(QStringLiteral("edtAngina"), 0, kAnginaMaxima, QString());
    FAngina->setPlaceholderText(tr("0 a 4"));
    FSt = Campo(QStringLiteral("edtSt"), 0, int(kStMaximoMm), QStringLiteral(" mm"));
    FSt->setPlaceholderText(tr("mm, o maior desvio lido no ECG"));
    FBotaoAngina = Registrar(QStringLiteral("btnRegistrarAngina"));
    FBotaoSt = Registrar(QStringLiteral("btnRegistrarSt"));
    grade->addWidget(new QLabel(tr("Angina:")), 3, 0);
    grade->addWidget(FAngina, 3, 1, 1, 3);
    grade->addWidget(FBotaoAngina, 3, 4);
    grade->addWidget(new QLabel(tr("ST:")), 4, 0);
    grade->addWidget(FSt, 4, 1, 1, 3);
    grade->addWidget(FBotaoSt, 4, 4);
    grade->addWidget(FComentario, 5, 0, 1, 4);
    grade->addWidget(FBotaoComentario, 5, 4);
    FProblema = new QLabel;
    FProblema->setObjectName(QStringLiteral("lblProblemaEntrada"));
    FProblema->setStyleSheet(QStringLiteral("color: #c00000;"));
    grade->addWidget(FProblema, 6, 0, 1, 5);
    FMotivo = new QComboBox;
    FMotivo->setObjectName(QStringLiteral("cmbMotivo"));
    // The reasons are long: the list opens wide, the box keeps to the panel's width.
    FMotivo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FMotivo->setMinimumContentsLength(18);
    FMotivo->addItem(tr("(não informado)"), QString());
    for (const QString &m : Motivos())
        FMotivo->addItem(m, m);
    grade->addWidget(new QLabel(tr("Motivo da interrupção:")), 7, 0, 1, 2);
    grade->addWidget(FMotivo, 7, 2, 1, 3);
    FComentarios = new QPlainTextEdit;
    FComentarios->setObjectName(QStringLiteral("txtComentarios"));
    FComentarios->setPlaceholderText(tr("Comentários do relatório"));
    FComentarios->setMaximumHeight(44);
    grade->addWidget(FComentarios, 8, 0, 1, 5);
    FSalvarComentarios = new QTimer(this);
    FSalvarComentarios->setSingleShot(true);
    FSalvarComentarios->setInterval(kEsperaComentariosMs);

    connect(FBotaoFc, &QPushButton::clicked, this, [this] {
        if (const auto fc = Valor(FFc))
            Enviar(QStringLiteral("fc"), *fc, 0, QStringLiteral("FC %1 bpm").arg(*fc));
    });
    connect(FBotaoPa, &QPushButton::clicked, this, [this] {
        const auto s = Valor(FSistolica), d = Valor(FDiastolica);
        if (s && d && *d < *s)
            Enviar(QStringLiteral("pa"), *s, *d, QStringLiteral("PA %1/%2 mmHg").arg(*s).arg(*d));
    });
    connect(FBotaoBorg, &QPushButton::clicked, this, [this] {
        if (const auto borg = Valor(FBorg))
            Enviar(QStringLiteral("borg"), *borg, 0, QStringLiteral("Borg %1").arg(*borg));
    });
    connect(FBotaoAngina, &QPushButton::clicked, this, [this] {
        if (const auto angina = Valor(FAngina))
            Enviar(QStringLiteral("angina"), *angina, 0,
                   QStringLiteral("Angina %1/%2").arg(*angina).arg(kAnginaMaxima));
    });
    connect(FBotaoSt, &QPushButton::clicked, this, [this] {
        if (const auto st = LerDecimal(FSt->text(), kStMaximoMm))
            Enviar(QStringLiteral("st"), *st, 0,
                   QStringLiteral("Desvio de ST %1 mm").arg(QString::number(*st, 'f', 1)));
    });
    connect(FBotaoComentario, &QPushButton::clicked, this, [this] {
        const QString texto = FComentario->text().trimmed();
        if (texto.isEmpty())
            return;
        Enviar(QStringLiteral("comentario"), 0, 0, texto);
        FComentario->clear();
    });
    connect(FComentario, &QLineEdit::returnPressed, FBotaoComentario, &QPushButton::click);
    for (QLineEdit *campo : {FFc, FSistolica, FDiastolica, FBorg, FAngina, FSt, FComentario})
        connect(campo, &QLineEdit::textChanged, this, &TPainelEntradas::Validar);
    connect(FAngina, &QLineEdit::returnPressed, FBotaoAngina, &QPushButton::click);
    connect(FSt, &QLineEdit::returnPressed, FBotaoSt, &QPushButton::click);
    connect(FFc, &QLineEdit::returnPressed, FBotaoFc, &QPushButton::click);
    connect(FDiastolica, &QLineEdit::returnPressed, FBotaoPa, &QPushButton::click);
    connect(FBorg, &QLineEdit::returnPressed, FBotaoBorg, &QPushButton::click);
    connect(FMotivo, &QComboBox::currentIndexChanged, this, &TPainelEntradas::ConclusaoMudou);
    connect(FComentarios, &QPlainTextEdit::textChanged, FSalvarComentarios,
            qOverload<>(&QTimer::start));
    connect(FSalvarComentarios, &QTimer::timeout, this, &TPainelEntradas::ConfirmarComentarios);
    AjustarGravando(false);
}

QLineEdit *TPainelEntradas::Campo(const QString &nome, int minimo, int maximo,
                                  const QString &unidade)
{
    auto *campo = new QLineEdit;
    campo->setObjectName(nome);
    campo->setProperty(kMinimo, minimo);
    campo->setProperty(kMaximo, maximo);
    campo->setProperty(kUnidade, unidade);
    campo->setMaxLength(4);
    return campo;
}

QPushButton *TPainelEntradas::Registrar(const QString &nome)
{
    auto *botao = new QPushButton(tr("Registrar"));
    botao->setObjectName(nome);
    // Space must reach PARAR, never press an entry button that happens to have the focus.
    botao->setFocusPolicy(Qt::NoFocus);
    return botao;
}

std::optional<int> TPainelEntradas::LerInteiro(const QString &texto, int minimo, int maximo)
{
    bool ok = false;
    const QString limpo = texto.trimmed();
    for (const QChar c : limpo)
        if (!c.isDigit())
            return std::nullopt;
    const int valor = limpo.toInt(&ok);
    if (!ok || valor < minimo || valor > maximo)
        return std::nullopt;
    return valor;
}

std::optional<double> TPainelEntradas::LerDecimal(const QString &texto, double maximo)
{
    QString limpo = texto.trimmed();
    limpo.replace(QLatin1Char(','), QLatin1Char('.'));
    const qsizetype ponto = limpo.indexOf(QLatin1Char('.'));
    if (limpo.isEmpty() || (ponto >= 0 && limpo.size() - ponto - 1 > 1) || limpo.startsWith('.') ||
        limpo.endsWith('.'))
        return std::nullopt;
    for (const QChar c : limpo)
        if (!c.isDigit() && c != QLatin1Char('.'))
            return std::nullopt;
    bool ok = false;
    const double valor = limpo.toDouble(&ok);
    if (!ok || valor > maximo)
        return std::nullopt;
    return valor;
}

void TPainelEntradas::Validar()
{
    QStringList problemas;
    const std::pair<QLineEdit *, QString> campos[] = {{FFc, QStringLiteral("FC")},
                                                      {FSistolica, tr("Sistólica")},
                                                      {FDiastolica, tr("Diastólica")},
                                                      {FBorg, QStringLiteral("Borg")},
                                                      {FAngina, QStringLiteral("Angina")}};
    for (const auto &[campo, nome] : campos) {
        const QString problema = Problema(campo, nome);
        Marcar(campo, problema);
        if (!problema.isEmpty())
            problemas << problema;
    }
    const bool stValido = LerDecimal(FSt->text(), kStMaximoMm).has_value();
    const QString problemaSt =
        FSt->text().trimmed().isEmpty() || stValido
            ? QString()
            : tr("Desvio de ST: de 0 a %1 mm, uma casa decimal").arg(kStMaximoMm);
    Marcar(FSt, problemaSt);
    if (!problemaSt.isEmpty())
        problemas << problemaSt;
    const auto s = Valor(FSistolica), d = Valor(FDiastolica);
    const bool paValida = s && d && *d < *s;
    if (s && d && !paValida) {
        const QString problema = tr("A diastólica deve ser menor que a sistólica");
        Marcar(FDiastolica, problema);
        problemas << problema;
    }
    FProblema->setText(problemas.join(QStringLiteral("; ")));
    FBotaoFc->setEnabled(FbGravando && Valor(FFc));
    FBotaoPa->setEnabled(FbGravando && paValida);
    FBotaoBorg->setEnabled(FbGravando && Valor(FBorg));
    FBotaoAngina->setEnabled(FbGravando && Valor(FAngina));
    FBotaoSt->setEnabled(FbGravando && stValido);
    FBotaoComentario->setEnabled(FbGravando && !FComentario->text().trimmed().isEmpty());
}

void TPainelEntradas::Enviar(const QString &tipo, double v1, double v2, const QString &texto)
{
    TEventoRegistro e;
    e.tipo = tipo;
    e.valor1 = v1;
    e.valor2 = v2;
    e.texto = texto;
    emit Entrada(e);
}

// After the AHA/ACC exercise-testing guidelines' indications for terminating a test (Gibbons et
// al., Circulation 2002; Fletcher et al., Circulation 2013): the absolute ones first, then the
// relative ones. Earlier recordings' reasons ("Sintomas", "Pressão arterial anormal") stay
// readable as text; they are no longer offered.
QStringList TPainelEntradas::Motivos()
{
    return {QStringLiteral("Teste completo"),
            QStringLiteral("Frequência cardíaca alvo atingida"),
            QStringLiteral("Angina moderada a intensa"),
            QStringLiteral("Queda da PA sistólica > 10 mmHg com sinais de isquemia"),
            QStringLiteral("Sintomas neurológicos (ataxia, tontura, pré-síncope)"),
            QStringLiteral("Sinais de má perfusão (cianose, palidez)"),
            QStringLiteral("Supradesnível de ST ≥ 1 mm"),
            QStringLiteral("Arritmia grave notada pelo médico"),
            QStringLiteral("Dificuldade técnica de monitorar o ECG ou a PA"),
            QStringLiteral("Solicitação do paciente"),
            QStringLiteral("Queda da PA sistólica > 10 mmHg sem sinais de isquemia"),
            QStringLiteral("Infradesnível de ST > 2 mm"),
            QStringLiteral("Dor torácica crescente"),
            QStringLiteral("Resposta hipertensiva (PA > 250/115 mmHg)"),
            QStringLiteral("Outra arritmia ou distúrbio de condução notado pelo médico"),
            QStringLiteral("Fadiga"),
            QStringLiteral("Dispneia, sibilância, cãibras ou claudicação"),
            QStringLiteral("Falha do equipamento"),
            QStringLiteral("Decisão do operador"),
            QStringLiteral("Outro")};
}

QStringList TPainelEntradas::MotivosDeAngina()
{
    return {QStringLiteral("Angina moderada a intensa"), QStringLiteral("Dor torácica crescente")};
}

void TPainelEntradas::AjustarGravando(bool gravando)
{
    FbGravando = gravando;
    Validar();
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

void TPainelEntradas::ConfirmarComentarios()
{
    FSalvarComentarios->stop();
    if (Comentarios() == FComentariosSalvos)
        return;
    FComentariosSalvos = Comentarios();
    emit ConclusaoMudou();
}

void TPainelEntradas::Limpar()
{
    FSalvarComentarios->stop();
    FMotivo->setCurrentIndex(0);
    FComentarios->clear();
    FComentariosSalvos.clear();
    for (QLineEdit *campo : {FFc, FSistolica, FDiastolica, FBorg, FAngina, FSt, FComentario})
        campo->clear();
    FSalvarComentarios->stop();
}

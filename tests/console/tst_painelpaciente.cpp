#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <tuple>

#include "components/editimp.h"
#include "console/fpacientes.h"
#include "console/painelpaciente.h"
#include "session/bancosessoes.h"

namespace {

QString Data(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

TPaciente Completo()
{
    TPaciente p;
    p.nome = QStringLiteral("Conceição Araújo");
    p.identificador = QStringLiteral("HC-100");
    p.nascimento = QStringLiteral("12/03/1971");
    p.sexo = QStringLiteral("F");
    p.peso = QStringLiteral("64,5");
    p.altura = QStringLiteral("168");
    p.medico = QStringLiteral("Dra. Ana Souza");
    p.observacoes = QStringLiteral("Betabloqueador");
    return p;
}

int Pacientes(TBancoSessoes &banco)
{
    QSqlQuery q(banco.Conexao());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM pacientes")) && q.next() ? q.value(0).toInt()
                                                                                : -1;
}

// A patient with one test `minutos` after a fixed moment.
qint64 ComTeste(TBancoSessoes &banco, TPaciente p, int minutos)
{
    QString erro;
    TSessao s;
    s.pacienteId = banco.InserirPaciente(p, &erro);
    s.protocoloNome = QStringLiteral("Bruce modificado");
    s.inicio = QDateTime(QDate(2024, 5, 2), QTime(8, 0), Qt::UTC).addSecs(60 * minutos);
    banco.IniciarSessao(s, &erro);
    return s.pacienteId;
}

}  // namespace

class TstPainelPaciente : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        FPainel = std::make_unique<TPainelPaciente>();
        FPainel->show();
        QVERIFY(QTest::qWaitForWindowExposed(FPainel.get()));
        FPainel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FPainel.get()));
    }
    void cleanup()
    {
        FPainel.reset();
        FBanco.reset();
    }

    // Each field's text is checked as typed: a reason at the field (label and tooltip) and as
    // the block's problem; a valid text clears them.
    void campoVerificado_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("problema");  // a part of it; empty: valid
        const QDate hoje = QDate::currentDate();
        const auto linha = [](const char *tag, const char *campo, const QString &texto,
                              const char *problema) {
            QTest::newRow(tag) << QString(campo) << texto << QString::fromUtf8(problema);
        };
        linha("peso com vírgula", "peso", "72,5", "");
        linha("peso com ponto", "peso", "72.5", "");
        linha("peso em texto", "peso", "abc", "Peso: informe os quilos");
        linha("peso com expoente", "peso", "7e1", "Peso: informe os quilos");
        linha("peso alto demais", "peso", "500", "de 10 a 350");
        linha("altura com decimal", "altura", "175,5", "");
        linha("altura em metros", "altura", "1,75", "em centímetros");
        linha("altura fora da faixa", "altura", "300", "fora da faixa");
        linha("altura em texto", "altura", "alto", "Altura: informe");
        linha("nascimento", "nascimento", "1/3/1971", "");
        linha("nascimento hoje", "nascimento", Data(hoje), "");
        linha("nascimento amanhã", "nascimento", Data(hoje.addDays(1)), "no futuro");
        linha("dia que não existe", "nascimento", "31/02/1980", "não é uma data");
        linha("outro formato", "nascimento", "1971-03-12", "use dd/mm/aaaa");
        linha("antes de 1900", "nascimento", "01/01/1899", "acima de 120 anos");
        linha("identificação livre", "identificador", "abc/1,75", "");
    }
    void campoVerificado()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(QString, problema);
        FPainel->Campo("nome")->AjustarTexto("Rui");
        TEditImp *edit = FPainel->Campo(campo);
        edit->setFocus();
        QTest::keyClicks(edit, texto);
        QTest::keyClick(edit, Qt::Key_Tab);  // leaving the field shows its reason
        QVERIFY(!edit->hasFocus());
        auto *aviso = FPainel->findChild<QLabel *>("lblAviso_" + campo);
        QCOMPARE(FPainel->ProblemaCampo(campo).contains(problema), true);
        QCOMPARE(FPainel->ProblemaCampo(campo).isEmpty(), problema.isEmpty());
        QCOMPARE(FPainel->Problema(), FPainel->ProblemaCampo(campo));
        if (aviso) {
            QCOMPARE(aviso->isHidden(), problema.isEmpty());
            QCOMPARE(aviso->text(), FPainel->ProblemaCampo(campo));
            QCOMPARE(edit->toolTip(), FPainel->ProblemaCampo(campo));
        }
        edit->clear();  // a blank field is allowed, and its reason goes at once
        QVERIFY(FPainel->Problema().isEmpty());
        if (aviso)
            QVERIFY(aviso->isHidden());
    }

    // The name is still required; the first problem is the first field's in the form.
    void primeiroProblema()
    {
        QCOMPARE(FPainel->Problema(), QStringLiteral("Informe o nome do paciente."));
        FPainel->Campo("peso")->AjustarTexto("abc");
        FPainel->Campo("altura")->AjustarTexto("1,75");
        QCOMPARE(FPainel->Problema(), QStringLiteral("Informe o nome do paciente."));
        FPainel->Campo("nome")->AjustarTexto("Rui");
        QVERIFY(FPainel->Problema().startsWith("Peso:"));
        // A start refused shows every reason at its field, even of a field not yet left.
        QVERIFY(FPainel->findChild<QLabel *>("lblAviso_altura")->isHidden());
        QCOMPARE(FPainel->Verificar(), FPainel->Problema());
        QVERIFY(!FPainel->findChild<QLabel *>("lblAviso_altura")->isHidden());
        FPainel->Campo("peso")->AjustarTexto("80");
        QVERIFY(FPainel->Problema().startsWith("Altura:"));
    }

    // Sex comes from a list; stored texts of every form show as their entry and are kept as
    // "F" or "M"; one that is neither is shown as it is, and is a problem.
    void sexoDaLista_data()
    {
        QTest::addColumn<QString>("gravado");
        QTest::addColumn<QString>("mostrado");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("problema");
        for (const auto &[gravado, mostrado, codigo, problema] :
             {std::tuple("F", "Feminino", "F", false),
              {"feminino", "Feminino", "F", false},
              {" Masc", "Masculino", "M", false},
              {"", "", "", false},
              {"x", "x", "x", true}})
            QTest::newRow(gravado)
                << QString(gravado) << QString(mostrado) << QString(codigo) << problema;
    }
    void sexoDaLista()
    {
        QFETCH(QString, gravado);
        QFETCH(QString, mostrado);
        QFETCH(QString, codigo);
        QFETCH(bool, problema);
        QVERIFY(!FPainel->Campo("sexo"));
        QVERIFY(!FPainel->Sexo()->isEditable());
        TPaciente p = Completo();
        p.sexo = gravado;
        FPainel->AjustarPaciente(p);
        QCOMPARE(FPainel->Sexo()->currentText(), mostrado);
        QCOMPARE(FPainel->Paciente().sexo, codigo);
        QCOMPARE(FPainel->Problema().startsWith("Sexo:"), problema);
        QCOMPARE(FPainel->findChild<QLabel *>("lblAviso_sexo")->isHidden(), !problema);
        FPainel->Sexo()->setCurrentIndex(FPainel->Sexo()->findData("M"));
        QCOMPARE(FPainel->Paciente().sexo, QStringLiteral("M"));
        QVERIFY(FPainel->Problema().isEmpty());
    }

    // "Novo paciente" clears the whole block and the id: nothing of the previous patient
    // (physician, observations) is left for the next one's report.
    void novoPacienteLimpaTudo()
    {
        TPaciente p = Completo();
        p.id = 7;
        FPainel->AjustarPaciente(p);
        QCOMPARE(FPainel->PacienteId(), 7);
        QCOMPARE(FPainel->Paciente().medico, p.medico);
        QVERIFY(!FPainel->Alterado());
        FPainel->Campo("nome")->AjustarTexto("Outra Pessoa");  // the block warns of the update
        QVERIFY(FPainel->Alterado());
        QVERIFY(FPainel->findChild<QLabel *>("lblSituacaoPaciente")->text().contains("alterados"));
        FPainel->findChild<QPushButton *>("btnNovoPaciente")->click();
        QCOMPARE(FPainel->PacienteId(), 0);
        const TPaciente vazio = FPainel->Paciente();
        for (const QString &v : {vazio.nome, vazio.identificador, vazio.nascimento, vazio.sexo,
                                 vazio.peso, vazio.altura, vazio.medico, vazio.observacoes})
            QVERIFY2(v.isEmpty(), qPrintable(v));
        for (QLabel *aviso : FPainel->findChildren<QLabel *>(QRegularExpression("^lblAviso_")))
            QVERIFY(aviso->isHidden());
        QVERIFY(FPainel->findChild<QLabel *>("lblSituacaoPaciente")->text().startsWith("Novo"));
    }

    // The list from a real file: a usable window, the latest tested first, typing (in the box
    // or in the list) filters, the arrows move from the box, Enter chooses, and the block then
    // holds that patient, whose row a test reuses instead of inserting a new one.
    void listaEscolhePaciente()
    {
        AbrirBanco();
        ComTeste(*FBanco, Completo(), 0);
        TPaciente rui;
        rui.nome = QStringLiteral("Rui Prado");
        rui.medico = QStringLiteral("Dr. Alves");
        const qint64 idRui = ComTeste(*FBanco, rui, 10);
        TPaciente ana;
        ana.nome = QStringLiteral("Ana Lima");
        ComTeste(*FBanco, ana, 20);
        FPainel->findChild<QPushButton *>("btnPacientes")->click();
        TfrmPacientes *janela = FPainel->JanelaPacientes();
        QVERIFY(janela && janela->isVisible() && !janela->isModal());
        QVERIFY(janela->width() >= 720 && janela->height() >= 480);
        QCOMPARE(janela->Pacientes()->topLevelItemCount(), 3);
        QCOMPARE(janela->Pacientes()->topLevelItem(0)->text(0), QStringLiteral("Ana Lima"));
        QTest::keyClicks(janela->Pacientes(), "r");  // typed in the list: goes to the box
        QCOMPARE(janela->Busca()->text(), QStringLiteral("r"));
        QCOMPARE(janela->Pacientes()->topLevelItemCount(), 2);  // Rui Prado, Conceição Araújo
        QTest::keyClick(janela->Busca(), Qt::Key_Down);
        QCOMPARE(janela->PacienteSelecionado(), ComId(*FBanco, "Conceição Araújo"));
        QTest::keyClicks(janela->Busca(), "ui");
        QCOMPARE(janela->Pacientes()->topLevelItemCount(), 1);
        QCOMPARE(janela->PacienteSelecionado(), idRui);
        QCOMPARE(janela->Testes()->topLevelItemCount(), 1);
        QCOMPARE(janela->Testes()->topLevelItem(0)->text(2), QStringLiteral("Bruce modificado"));
        qint64 aberto = 0;  // a double click on an earlier test hands it on
        FPainel->OnAbrirTeste = [&aberto](qint64 sessao) { aberto = sessao; };
        emit janela->Testes()->itemActivated(janela->Testes()->topLevelItem(0), 0);
        QCOMPARE(aberto, FBanco->SessoesDoPaciente(idRui).at(0).id);
        QTest::keyClick(janela->Busca(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!FPainel->JanelaPacientes(), 5000);
        QCOMPARE(FPainel->PacienteId(), idRui);
        QCOMPARE(FPainel->Paciente().medico, QStringLiteral("Dr. Alves"));
        // What the console does at the start of a test: the chosen row, updated if changed.
        FPainel->Campo("peso")->AjustarTexto("90");
        QString erro;
        QCOMPARE(FBanco->GravarPaciente(FPainel->Paciente(), &erro), idRui);
        QCOMPARE(Pacientes(*FBanco), 3);
        QCOMPARE(FBanco->LerPaciente(idRui)->peso, QStringLiteral("90"));
    }

    // While a test runs (the block disabled) the list cannot choose or clear.
    void listaDuranteTeste()
    {
        AbrirBanco();
        ComTeste(*FBanco, Completo(), 0);
        FPainel->AbrirPacientes();
        auto *usar = FPainel->JanelaPacientes()->findChild<QPushButton *>("btnUsarPaciente");
        QVERIFY(usar->isEnabled());
        FPainel->setEnabled(false);
        QVERIFY(!usar->isEnabled());
        FPainel->JanelaPacientes()->Escolher();
        QCOMPARE(FPainel->PacienteId(), 0);
    }

private:
    void AbrirBanco()
    {
        FBanco = std::make_unique<TBancoSessoes>();
        QString erro;
        QVERIFY2(FBanco->Abrir(FPasta.filePath(QTest::currentTestFunction()) + ".db", &erro),
                 qPrintable(erro));
        FPainel->AjustarBanco(FBanco.get());
    }
    static qint64 ComId(TBancoSessoes &banco, const QString &nome)
    {
        return banco.BuscarPacientes(nome).value(0).paciente.id;
    }

    QTemporaryDir FPasta;
    std::unique_ptr<TBancoSessoes> FBanco;
    std::unique_ptr<TPainelPaciente> FPainel;
};

QTEST_MAIN(TstPainelPaciente)
#include "tst_painelpaciente.moc"

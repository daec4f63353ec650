#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "protocol/arquivoprotocolo.h"
#include "protocol/bibliotecaprotocolos.h"
#include "protocol/editorprotocolo.h"
#include "protocol/embutidos.h"
#include "protocol/regrasprotocolo.h"

// The protocol editor's model without widgets: edits and their undo, the loader's own problems
// at the row and field concerned, the saved file read back by the loader.
using TCampo = TEditorProtocolo::TCampo;
Q_DECLARE_METATYPE(TCampo)
Q_DECLARE_METATYPE(TFase)

namespace {

const QLocale kPtBr(QLocale::Portuguese, QLocale::Brazil);

// A user protocol of three stages with a ramp between the first two.
TProtocolo Tres()
{
    TProtocolo p;
    p.id = QStringLiteral("tres");
    p.nome = QStringLiteral("Três estágios");
    p.aquecimento = {TPasso::Estagio(120000, 2.0, 0)};
    p.exercicio = {TPasso::Estagio(180000, 3.0, 2), TPasso::Rampa(240000, 3.0, 2, 6.0, 10),
                   TPasso::Estagio(180000, 6.0, 10)};
    p.recuperacao = {TPasso::Estagio(180000, 2.5, 0)};
    return p;
}

// What the loader says of the protocol's file (empty when it reads it).
QString Carregador(const TProtocolo &p)
{
    QString erro;
    return TArquivoProtocolo::Ler(TArquivoProtocolo::Escrever(p), p.id, &erro) ? QString() : erro;
}

// A plain number ("30", "-2") or a duration of whole minutes ("0:00"); false for the rest.
bool TNumberTextLike(const QString &texto, double &valor)
{
    bool ok = false;
    valor = QLocale::c().toDouble(texto.section(QLatin1Char(':'), 0, 0), &ok);
    return ok;
}

QByteArray Conteudo(const QString &caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestEditorProtocolo : public QObject {
    Q_OBJECT

private slots:
    void fieldsReadInEitherDecimalForm_data();
    void fieldsReadInEitherDecimalForm();
    void problemsAtRowAndFieldAreTheLoaders_data();
    void problemsAtRowAndFieldAreTheLoaders();
    void editsUndoAndRedo_data();
    void editsUndoAndRedo();
    void builtInIsReadOnlyAndDuplicatedCopyIsEdited();
    void savedAtomicallyAndReadBackAsEdited();
    void nothingInvalidIsSaved();
    void clampedProtocolSaysSoAndSaves();
    void draftKeepsAnEditAcrossAKill();
};

void TestEditorProtocolo::fieldsReadInEitherDecimalForm_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<double>("velocidade");
    QTest::newRow("comma") << "3,5" << 3.5;
    QTest::newRow("point") << "3.5" << 3.5;
    QTest::newRow("blanks") << " 4 " << 4.0;
}

void TestEditorProtocolo::fieldsReadInEitherDecimalForm()
{
    QFETCH(QString, texto);
    QFETCH(double, velocidade);
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Velocidade, texto));
    QVERIFY(editor.Valido());
    QCOMPARE(editor.Protocolo().exercicio[0].velocidadeInicial, velocidade);
    // Durations: m:ss, or minutes alone.
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Duracao, QStringLiteral("2:30")));
    QCOMPARE(editor.Protocolo().exercicio[0].duracaoMs, 150000);
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Duracao, QStringLiteral("1,5")));
    QCOMPARE(editor.Protocolo().exercicio[0].duracaoMs, 90000);
}

void TestEditorProtocolo::problemsAtRowAndFieldAreTheLoaders_data()
{
    QTest::addColumn<TFase>("fase");
    QTest::addColumn<int>("linha");
    QTest::addColumn<TCampo>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("problema");
    QTest::newRow("speed beyond") << TFase::Exercicio << 1 << TCampo::VelocidadeFinal << "30"
                                  << "exercicio, passo 2: \"velocidade_final\" = 30 km/h fora da "
                                     "faixa da esteira (0 a 25)";
    QTest::newRow("negative grade")
        << TFase::Aquecimento << 0 << TCampo::Inclinacao << "-2"
        << "aquecimento, passo 1: \"inclinacao\" = -2 % fora da faixa da esteira (0 a 40)";
    QTest::newRow("zero duration")
        << TFase::Recuperacao << 0 << TCampo::Duracao << "0:00"
        << "recuperacao, passo 1: \"duracao_s\" = 0 deve ser maior que 0 e até 86400";
    QTest::newRow("not a number") << TFase::Exercicio << 2 << TCampo::Inclinacao << "dez"
                                  << "exercicio, passo 3: \"inclinacao\" não é um número";
    QTest::newRow("empty") << TFase::Exercicio << 1 << TCampo::Velocidade << ""
                           << "exercicio, passo 2: \"velocidade_inicial\" ausente";
}

void TestEditorProtocolo::problemsAtRowAndFieldAreTheLoaders()
{
    QFETCH(TFase, fase);
    QFETCH(int, linha);
    QFETCH(TCampo, campo);
    QFETCH(QString, texto);
    QFETCH(QString, problema);
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QCOMPARE(editor.ProblemaDoTexto(fase, linha, campo, texto), problema);  // while typing
    QVERIFY(editor.AjustarTexto(fase, linha, campo, texto));
    QCOMPARE(editor.Problema(fase, linha, campo), problema);
    QCOMPARE(editor.Problemas().size(), 1);
    QCOMPARE(editor.Problemas().first().linha, linha);
    QVERIFY(!editor.Valido());
    QVERIFY(editor.Previa().Pontos().isEmpty());

    // The loader, given the same number in a file, reports the same sentence.
    double valor = 0;
    if (!TNumberTextLike(texto, valor))
        return;
    TProtocolo p = Tres();
    QList<TPasso> &passos = fase == TFase::Aquecimento ? p.aquecimento
                            : fase == TFase::Exercicio ? p.exercicio
                                                       : p.recuperacao;
    TPasso &passo = passos[linha];
    switch (campo) {
        case TCampo::Duracao: passo.duracaoMs = qint64(valor * 60000); break;
        case TCampo::Velocidade: passo.velocidadeInicial = valor; break;
        case TCampo::Inclinacao: passo.inclinacaoInicial = valor; break;
        case TCampo::VelocidadeFinal: passo.velocidadeFinal = valor; break;
        case TCampo::InclinacaoFinal: passo.inclinacaoFinal = valor; break;
    }
    QCOMPARE(Carregador(p), problema);
}

void TestEditorProtocolo::editsUndoAndRedo_data()
{
    QTest::addColumn<QString>("acao");
    QTest::addColumn<QList<int>>("duracoesS");  // the exercise's steps after the edit
    QTest::newRow("insert") << "inserir" << QList<int>{180, 60, 240, 180};
    QTest::newRow("remove") << "remover" << QList<int>{180, 180};
    QTest::newRow("move up") << "subir" << QList<int>{240, 180, 180};
    QTest::newRow("copy") << "copiar" << QList<int>{180, 240, 240, 180};
    QTest::newRow("field") << "campo" << QList<int>{180, 300, 180};
}

void TestEditorProtocolo::editsUndoAndRedo()
{
    QFETCH(QString, acao);
    QFETCH(QList<int>, duracoesS);
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    const TProtocolo antes = editor.Protocolo();
    QSignalSpy mudou(&editor, &TEditorProtocolo::Mudou);
    const TFase e = TFase::Exercicio;
    bool feito = acao == "inserir"   ? editor.Inserir(e, 1, TPasso::TTipo::Estagio)
                 : acao == "remover" ? editor.Remover(e, 1)
                 : acao == "subir"   ? editor.Mover(e, 1, 0)
                 : acao == "copiar"  ? editor.Copiar(e, 1)
                                     : editor.AjustarTexto(e, 1, TCampo::Duracao, "5:00");
    QVERIFY(feito);
    auto duracoes = [&] {
        QList<int> s;
        for (const TPasso &p : editor.Protocolo().exercicio)
            s << int(p.duracaoMs / 1000);
        return s;
    };
    QCOMPARE(duracoes(), duracoesS);
    QVERIFY(editor.Modificado());
    QCOMPARE(mudou.size(), 1);
    editor.Pilha()->undo();
    QCOMPARE(TArquivoProtocolo::Escrever(editor.Protocolo()), TArquivoProtocolo::Escrever(antes));
    QVERIFY(!editor.Modificado());
    editor.Pilha()->redo();
    QCOMPARE(duracoes(), duracoesS);
    QCOMPARE(mudou.size(), 3);
}

void TestEditorProtocolo::builtInIsReadOnlyAndDuplicatedCopyIsEdited()
{
    QTemporaryDir pasta;
    TBibliotecaProtocolos biblioteca(pasta.path());
    const TProtocolo bruce = *biblioteca.Procurar(QStringLiteral("bruce"));
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(bruce);
    QVERIFY(editor.SomenteLeitura());
    QVERIFY(!editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Velocidade, "2"));
    QVERIFY(!editor.Remover(TFase::Exercicio, 0));
    QString erro;
    QVERIFY(!editor.Salvar(pasta.path(), &erro));
    QVERIFY(!QFile::exists(biblioteca.Caminho(QStringLiteral("bruce"))));

    // The copy, a slower Bruce: every stage 0.5 km/h slower.
    TProtocolo copia = editor.Protocolo();
    copia.embutido = false;
    copia.nome = QStringLiteral("Bruce lento");
    copia.id = biblioteca.IdLivre(copia.nome);
    QCOMPARE(copia.id, QStringLiteral("bruce-lento"));
    QVERIFY2(biblioteca.Gravar(copia, &erro), qPrintable(erro));
    editor.Abrir(*biblioteca.Procurar(copia.id));
    QVERIFY(!editor.SomenteLeitura());
    for (int i = 0; i < editor.Linhas(TFase::Exercicio); ++i)
        QVERIFY(
            editor.AjustarTexto(TFase::Exercicio, i, TCampo::Velocidade,
                                editor.TextoNumero(bruce.exercicio[i].velocidadeInicial - 0.5)));
    QVERIFY2(editor.Salvar(pasta.path(), &erro), qPrintable(erro));
    biblioteca.Recarregar();
    const TProtocolo lido = *biblioteca.Procurar(QStringLiteral("bruce-lento"));
    QCOMPARE(lido.exercicio.size(), bruce.exercicio.size());
    for (int i = 0; i < bruce.exercicio.size(); ++i)
        QCOMPARE(lido.exercicio[i].velocidadeInicial, bruce.exercicio[i].velocidadeInicial - 0.5);
    QCOMPARE(TArquivoProtocolo::Escrever(*biblioteca.Procurar(QStringLiteral("bruce"))),
             TArquivoProtocolo::Escrever(bruce));
}

void TestEditorProtocolo::savedAtomicallyAndReadBackAsEdited()
{
    QTemporaryDir pasta;
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 1, TCampo::InclinacaoFinal, "12,5"));
    QVERIFY(editor.AjustarDescricao(QStringLiteral("Rampa de 4 min")));
    QVERIFY(editor.Inserir(TFase::Recuperacao, 1, TPasso::TTipo::Rampa));
    QVERIFY(editor.AjustarTexto(TFase::Recuperacao, 1, TCampo::VelocidadeFinal, "1.5"));
    const TProtocolo editado = editor.Protocolo();
    QString erro;
    QVERIFY2(editor.Salvar(pasta.path(), &erro), qPrintable(erro));
    QVERIFY(!editor.Modificado());
    // Only the file: QSaveFile's temporary is renamed over it.
    QCOMPARE(QDir(pasta.path()).entryList(QDir::Files), QStringList{"tres.json"});

    const auto lido = TBibliotecaProtocolos::LerArquivo(pasta.filePath("tres.json"), &erro);
    QVERIFY2(lido, qPrintable(erro));
    QCOMPARE(TArquivoProtocolo::Escrever(*lido), TArquivoProtocolo::Escrever(editado));
    QCOMPARE(lido->exercicio[1].inclinacaoFinal, 12.5);
    QCOMPARE(lido->recuperacao[1].tipo, TPasso::TTipo::Rampa);
    QCOMPARE(lido->recuperacao[1].velocidadeFinal, 1.5);
    QCOMPARE(lido->descricao, QStringLiteral("Rampa de 4 min"));
    // Opened again, the rows read as they were typed.
    TEditorProtocolo outro({}, kPtBr);
    outro.Abrir(*lido);
    QCOMPARE(outro.Linha(TFase::Exercicio, 1).Texto(TCampo::InclinacaoFinal), "12,5");
    QCOMPARE(outro.Linha(TFase::Exercicio, 1).Texto(TCampo::Duracao), "4:00");
}

void TestEditorProtocolo::nothingInvalidIsSaved()
{
    QTemporaryDir pasta;
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QString erro;
    QVERIFY(editor.Salvar(pasta.path(), &erro));
    const QByteArray salvo = Conteudo(pasta.filePath("tres.json"));
    QVERIFY(!salvo.isEmpty());
    for (int i = editor.Linhas(TFase::Exercicio) - 1; i >= 0; --i)
        QVERIFY(editor.Remover(TFase::Exercicio, i));
    QCOMPARE(editor.Problemas().size(), 1);
    QCOMPARE(editor.Problemas().first().texto, TRegrasProtocolo::ExercicioVazio(0));
    QVERIFY(!editor.Salvar(pasta.path(), &erro));
    QCOMPARE(erro, QStringLiteral("a fase \"exercicio\" está vazia"));
    editor.Pilha()->undo();
    QVERIFY(editor.AjustarNome(QStringLiteral("  ")));
    QVERIFY(!editor.Salvar(pasta.path(), &erro));
    QCOMPARE(erro, QStringLiteral("\"nome\" ausente ou vazio"));
    QCOMPARE(Conteudo(pasta.filePath("tres.json")), salvo);  // the file on disk is untouched
}

void TestEditorProtocolo::clampedProtocolSaysSoAndSaves()
{
    QTemporaryDir pasta;
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 2, TCampo::Velocidade, "20"));
    QVERIFY(editor.Valido());
    QCOMPARE(editor.Limitacoes(TFase::Exercicio, 2),
             QStringList{"Estágio 4: velocidade 20.0 km/h acima de 18.0 km/h (limitada a 18.0)"});
    QVERIFY(editor.Limitacoes(TFase::Exercicio, 1).isEmpty());
    QCOMPARE(editor.Previa().Limitacoes(), TFaixaEsteira::Limitacoes(editor.Protocolo()));
    QCOMPARE(editor.Previa().VelocidadePico(), TFaixaEsteira::kVelocidadeMaxima);
    QString erro;
    QVERIFY2(editor.Salvar(pasta.path(), &erro), qPrintable(erro));
}

void TestEditorProtocolo::draftKeepsAnEditAcrossAKill()
{
    QTemporaryDir pasta;
    const QString rascunho = pasta.filePath(".rascunhos/tres.json");
    {
        TEditorProtocolo editor({}, kPtBr);
        editor.Abrir(Tres());
        editor.AjustarRascunho(rascunho);
        QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Velocidade, "3,"));
        QVERIFY(editor.AjustarTexto(TFase::Exercicio, 2, TCampo::Inclinacao, "abc"));
        QVERIFY(QFile::exists(rascunho));
    }  // gone without saving, as a killed program
    TEditorProtocolo editor({}, kPtBr);
    editor.Abrir(Tres());
    QVERIFY(editor.RestaurarRascunho(rascunho));
    QCOMPARE(editor.Linha(TFase::Exercicio, 2).Texto(TCampo::Inclinacao), "abc");  // as typed
    QVERIFY(!editor.Problema(TFase::Exercicio, 2, TCampo::Inclinacao).isEmpty());
    QVERIFY(editor.Modificado());
    editor.Pilha()->undo();  // back to the saved protocol
    QVERIFY(editor.Valido());
    editor.Pilha()->redo();
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 2, TCampo::Inclinacao, "11"));
    QString erro;
    QVERIFY2(editor.Salvar(pasta.path(), &erro), qPrintable(erro));
    QVERIFY(!QFile::exists(rascunho));
    // A draft of another protocol is not taken.
    TProtocolo outro = Tres();
    outro.id = QStringLiteral("outro");
    editor.Abrir(outro);
    editor.AjustarRascunho(rascunho);
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Velocidade, "4"));
    editor.Abrir(Tres());
    QVERIFY(!editor.RestaurarRascunho(rascunho));
}

QTEST_GUILESS_MAIN(TestEditorProtocolo)
#include "tst_editorprotocolo.moc"

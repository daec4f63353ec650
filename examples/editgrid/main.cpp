// kestrova-editgrid: a data grid over a small SQLite table and a printable edit on one form.
//
//   kestrova-editgrid [DATABASE] [--screenshot PATH]
//
// DATABASE is created with a sample table when missing (default: editgrid.sqlite in the user's
// data location). --screenshot types a text longer than the edit's box, shows a drag marker under
// the third row, saves the window to PATH and exits.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDragMoveEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "components/dbgridkpr.h"
#include "components/editimp.h"
#include "components/interfaceimpressora.h"

namespace {

struct Pessoa {
    const char *nome;
    int idade;
    const char *cidade;
};

constexpr Pessoa kPessoas[] = {
    {"Ana Souza", 34, "Recife"},    {"Bruno Lima", 41, "Curitiba"},
    {"Carla Dias", 28, "Salvador"}, {"Diego Rocha", 52, "Porto Alegre"},
    {"Elisa Prado", 23, "Belém"},   {"Fábio Nunes", 39, "Goiânia"},
    {"Gabriela Reis", 31, "Natal"},
};

QString DefaultDatabasePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath(QStringLiteral("editgrid.sqlite"));
}

// Opens (creating when needed) the database and its table "pessoas"; fills an empty table.
bool OpenDatabase(const QString &path, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    QSqlQuery query(db);
    const bool ok =
        db.open() &&
        query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS pessoas (id INTEGER PRIMARY KEY, "
                                  "nome TEXT NOT NULL, idade INTEGER, cidade TEXT)")) &&
        query.exec(QStringLiteral("SELECT COUNT(*) FROM pessoas")) && query.next();
    if (!ok) {
        *error = db.isOpen() ? query.lastError().text() : db.lastError().text();
        return false;
    }
    if (query.value(0).toInt() > 0)
        return true;
    query.prepare(QStringLiteral("INSERT INTO pessoas (nome, idade, cidade) VALUES (?, ?, ?)"));
    for (const Pessoa &p : kPessoas) {
        query.addBindValue(QString::fromUtf8(p.nome));
        query.addBindValue(p.idade);
        query.addBindValue(QString::fromUtf8(p.cidade));
        if (!query.exec()) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

class EditGridForm : public QWidget {
public:
    EditGridForm()
    {
        setWindowTitle(QStringLiteral("Kestrova — edit e grade"));
        FModel = new QSqlTableModel(this);
        FModel->setTable(QStringLiteral("pessoas"));
        FModel->select();
        FModel->setHeaderData(1, Qt::Horizontal, QStringLiteral("Nome"));
        FModel->setHeaderData(2, Qt::Horizontal, QStringLiteral("Idade"));
        FModel->setHeaderData(3, Qt::Horizontal, QStringLiteral("Cidade"));

        Grid = new TDBGridKpr(this);
        Grid->setModel(FModel);
        Grid->setColumnHidden(0, true);
        Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        Grid->horizontalHeader()->setStretchLastSection(true);
        Grid->AjustarFbSinalizarArrasto(true);
        Grid->OnDepoisScroll = [this](QObject *) { MostrarRegistro(); };
        Grid->OnCliqueDoMouse = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                                       int y) {
            FClique->setText(QStringLiteral("Clique em (%1, %2)").arg(x).arg(y));
        };

        FRegistro = new QLabel(this);
        FClique = new QLabel(QStringLiteral("Clique: —"), this);

        FEdit = new TEditImp(this);
        FEdit->setDragEnabled(true);
        FEdit->InterfaceImpressora()->AjustarLargura(160);
        FEdit->InterfaceImpressora()->AjustarAltura(20);
        FEdit->AjustarFbInterfaceImpressoraAtiva(true);
        FEdit->OnLimiteTexto = [this](QObject *) {
            ++FLimites;
            FLimite->setText(QStringLiteral("OnLimiteTexto: %1").arg(FLimites));
        };
        FLimite = new QLabel(QStringLiteral("OnLimiteTexto: 0"), this);

        auto *form = new QFormLayout;
        form->addRow(QStringLiteral("Observação (caixa de 160 × 20):"), FEdit);
        form->addRow(QString(), FLimite);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(Grid, 1);
        layout->addWidget(FRegistro);
        layout->addWidget(FClique);
        layout->addLayout(form);
        Grid->setCurrentIndex(FModel->index(0, 1));
        resize(560, 420);
        // Once the form is laid out, so the count of visible rows is the shown one.
        QTimer::singleShot(0, this, [this] { MostrarRegistro(); });
    }

    ~EditGridForm() override
    {
        // The children outlive this part of the form: no handler may reach it any more.
        Grid->OnDepoisScroll = nullptr;
        Grid->OnCliqueDoMouse = nullptr;
        FEdit->OnLimiteTexto = nullptr;
    }

    // Shows the marker as a drag of text over visible row `row` would.
    void SimularArrasto(int row)
    {
        FMime.setText(QStringLiteral("arrasto"));
        const int y = Grid->rowViewportPosition(Grid->rowAt(0) + row) + 2;
        QDragEnterEvent enter(QPoint(40, y), Qt::CopyAction, &FMime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(Grid->viewport(), &enter);
        QDragMoveEvent move(QPoint(40, y), Qt::CopyAction, &FMime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Grid->viewport(), &move);
    }

    // Types `text` into the edit, one key at a time, as the user would.
    void Digitar(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(FEdit, &press);
        }
    }

    TDBGridKpr *Grid = nullptr;

private:
    void MostrarRegistro()
    {
        FRegistro->setText(
            QStringLiteral("Registro atual: %1, %2 anos, %3 (%4 linhas visíveis)")
                .arg(Grid->PegaValorCelula(1), Grid->PegaValorCelula(2), Grid->PegaValorCelula(3))
                .arg(Grid->PegarLinhasVisiveis()));
    }

    QSqlTableModel *FModel = nullptr;
    TEditImp *FEdit = nullptr;
    QLabel *FRegistro = nullptr;
    QLabel *FClique = nullptr;
    QLabel *FLimite = nullptr;
    int FLimites = 0;
    QMimeData FMime;
};

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrova-editgrid"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrova"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Data grid and printable edit example."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("database"),
                                 QStringLiteral("SQLite file (created when missing)."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window to <path> and exit."),
                                        QStringLiteral("path"));
    parser.addOption(screenshot);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const QString path = args.isEmpty() ? DefaultDatabasePath() : args.first();
    QString error;
    if (!OpenDatabase(path, &error)) {
        QTextStream(stderr) << "kestrova-editgrid: " << path << ": " << error << '\n';
        return 1;
    }

    int result = 0;
    {
        EditGridForm form;
        form.show();
        if (parser.isSet(screenshot)) {
            QTimer::singleShot(0, &form, [&] {
                form.Digitar(QStringLiteral("Retorno em 15 dias para reavaliar a marcha"));
                form.SimularArrasto(2);
                QCoreApplication::processEvents();
                if (!form.grab().save(parser.value(screenshot))) {
                    QTextStream(stderr)
                        << "kestrova-editgrid: cannot write " << parser.value(screenshot) << '\n';
                    result = 1;
                }
                QCoreApplication::quit();
            });
        }
        const int loop = QApplication::exec();
        if (result == 0)
            result = loop;
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    return result;
}

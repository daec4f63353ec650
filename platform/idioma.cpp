#include "platform/idioma.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "platform/exception.h"

namespace {

const QString kNomeDaOpcao = QStringLiteral("lang");

// What InstalarIdioma installed last, removed by the next call.
QList<QPointer<QTranslator>> gTraducoesDoPrograma;
QPointer<QTranslator> gTraducaoDoQt;

void Remover(QPointer<QTranslator> &traducao)
{
    if (traducao) {
        QCoreApplication::removeTranslator(traducao);
        delete traducao;
    }
}

}  // namespace

QString CodigoDoIdioma(TIdioma idioma)
{
    return idioma == TIdioma::Ingles ? QStringLiteral("en") : QStringLiteral("pt");
}

std::optional<TIdioma> IdiomaDoCodigo(const QString &codigo)
{
    const QString lingua = codigo.trimmed().section(u'_', 0, 0).section(u'-', 0, 0).toLower();
    if (lingua == QLatin1String("pt"))
        return TIdioma::Portugues;
    if (lingua == QLatin1String("en"))
        return TIdioma::Ingles;
    return std::nullopt;
}

TIdioma IdiomaDoLocale(const QLocale &locale)
{
    return locale.language() == QLocale::English ? TIdioma::Ingles : TIdioma::Portugues;
}

QCommandLineOption OpcaoIdioma()
{
    // The option's name and values are the same in every language: scripts pass them.
    return QCommandLineOption(
        kNomeDaOpcao,
        QCoreApplication::translate("Idioma",
                                    "Idioma dos textos: pt (português) ou en (inglês); "
                                    "padrão: o do sistema."),
        QStringLiteral("pt|en"));
}

QString ValorDaOpcaoIdioma(const QStringList &arguments)
{
    QString valor;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argumento = arguments[i];
        if (argumento == QLatin1String("--"))
            break;
        QString nome = argumento;
        if (nome.startsWith(QLatin1String("--")))
            nome.remove(0, 2);
        else if (nome.startsWith(u'-'))
            nome.remove(0, 1);
        else
            continue;
        if (nome == kNomeDaOpcao) {
            if (i + 1 < arguments.size())
                valor = arguments[++i];
        } else if (nome.startsWith(kNomeDaOpcao + u'=')) {
            valor = nome.mid(kNomeDaOpcao.size() + 1);
        }
    }
    return valor;
}

TIdioma EscolherIdioma(const QStringList &arguments, const QLocale &sistema,
                       std::optional<TIdioma> preferido)
{
    const QString valor = ValorDaOpcaoIdioma(arguments);
    if (!valor.isEmpty()) {
        const std::optional<TIdioma> pedido = IdiomaDoCodigo(valor);
        if (!pedido)
            throw Exception(
                QCoreApplication::translate("Idioma", "Idioma desconhecido: \"%1\" (use pt ou en).")
                    .arg(valor));
        return *pedido;
    }
    if (preferido)
        return *preferido;
    return IdiomaDoLocale(sistema);
}

QLocale LocaleDoIdioma(TIdioma idioma, const QLocale &sistema)
{
    if (idioma == TIdioma::Ingles)
        return sistema.language() == QLocale::English
                   ? sistema
                   : QLocale(QLocale::English, QLocale::UnitedStates);
    if (sistema.language() == QLocale::Portuguese || sistema.language() == QLocale::C)
        return sistema;
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

bool InstalarIdioma(QCoreApplication &app, TIdioma idioma, const QLocale &sistema)
{
    for (QPointer<QTranslator> &traducao : gTraducoesDoPrograma)
        Remover(traducao);
    gTraducoesDoPrograma.clear();
    Remover(gTraducaoDoQt);
    QLocale::setDefault(LocaleDoIdioma(idioma, sistema));
    bool completo = true;
    if (idioma == TIdioma::Ingles) {
        // One file per part of the tree (cmake/KestrovaTranslations.cmake).
        const QDir embutidas(QStringLiteral(":/i18n"));
        const QStringList arquivos =
            embutidas.entryList({QStringLiteral("kestrova*_en.qm")}, QDir::Files, QDir::Name);
        completo = !arquivos.isEmpty();
        for (const QString &arquivo : arquivos) {
            auto *programa = new QTranslator(&app);
            if (programa->load(embutidas.filePath(arquivo))) {
                QCoreApplication::installTranslator(programa);
                gTraducoesDoPrograma.append(programa);
            } else {
                delete programa;
                completo = false;
            }
        }
        // Qt's own texts are English already.
        return completo;
    }
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
        gTraducaoDoQt = qt;
    } else {
        delete qt;
        completo = false;
    }
    return completo;
}

TIdioma PrepararIdioma(QCoreApplication &app, std::optional<TIdioma> preferido)
{
    const TIdioma idioma =
        EscolherIdioma(QCoreApplication::arguments(), QLocale::system(), preferido);
    InstalarIdioma(app, idioma);
    return idioma;
}

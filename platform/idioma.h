#pragma once

#include <QCommandLineOption>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

#include "kestrova_platform_export.h"

class QCoreApplication;
class QCommandLineParser;

// The language the programs speak. Portuguese is the language of the texts in the code (the
// source texts); English comes from the translation embedded in the platform library
// (translations/kestrova_en.ts, resource :/i18n/kestrova_en.qm).
enum class TIdioma { Portugues, Ingles };

// "pt" and "en", the values of --lang and of the saved preferences.
KESTROVA_PLATFORM_EXPORT QString CodigoDoIdioma(TIdioma idioma);
// The language of a code ("pt", "en", case and a region ignored: "en_GB", "pt-BR"); none for
// anything else.
KESTROVA_PLATFORM_EXPORT std::optional<TIdioma> IdiomaDoCodigo(const QString &codigo);
// The language a system locale gets: English for an English locale, the source texts for
// Portuguese, C/POSIX and every language without a translation.
KESTROVA_PLATFORM_EXPORT TIdioma IdiomaDoLocale(const QLocale &locale);

// The option --lang <pt|en>, for a program's QCommandLineParser (its help lists it).
KESTROVA_PLATFORM_EXPORT QCommandLineOption OpcaoIdioma();
// The value given to --lang in a program's arguments (arguments[0] is the program), read before
// the parser runs so that the parser's own help is already translated: "--lang en", "--lang=en",
// "-lang en"; the last one counts; nothing after "--". Empty when the option is absent.
KESTROVA_PLATFORM_EXPORT QString ValorDaOpcaoIdioma(const QStringList &arguments);

// The language to use: --lang when given, else the program's saved preference, else the
// system's locale. A --lang value that is neither pt nor en raises Exception.
KESTROVA_PLATFORM_EXPORT TIdioma EscolherIdioma(const QStringList &arguments,
                                                const QLocale &sistema,
                                                std::optional<TIdioma> preferido = std::nullopt);

// The locale numbers on screen follow for the language: the system's when it speaks that language
// (or, for the source texts, when it is C/POSIX, as the programs always did), else pt_BR or
// en_US.
KESTROVA_PLATFORM_EXPORT QLocale LocaleDoIdioma(TIdioma idioma, const QLocale &sistema);

// Speaks the language from now on: installs the program's translation (English) and Qt's own
// (qtbase: the standard dialogs' buttons; pt_BR for the source texts, none for English, Qt's
// source language) and makes LocaleDoIdioma the default locale. Removes what an earlier call
// installed, so it may be called again. False when a translation file is missing (the texts then
// stay as they are).
KESTROVA_PLATFORM_EXPORT bool InstalarIdioma(QCoreApplication &app, TIdioma idioma,
                                             const QLocale &sistema = QLocale::system());

// For a program's main(), before its windows and its QCommandLineParser exist: chooses the
// language from the arguments, the preference and the system locale, and installs it. Add
// OpcaoIdioma() to the parser afterwards so that --lang is accepted and listed.
KESTROVA_PLATFORM_EXPORT TIdioma PrepararIdioma(QCoreApplication &app,
                                                std::optional<TIdioma> preferido = std::nullopt);

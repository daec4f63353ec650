#pragma once

#include "kestrova_somatochart_export.h"

#include <functional>

class QWidget;
class TColecaoDePontos;
class TEditorPropriedadesPontos;

// The property editor of a somatochart's Pontos: opens the points editor on the collection.
class KESTROVA_SOMATOCHART_EXPORT TPropriedadesPontos {
public:
    // Replaces the modal run of the editor (QDialog::exec); tests drive the window through it.
    using TExecHook = std::function<int(TEditorPropriedadesPontos &editor)>;

    // Creates the editor on the collection, initialises it, shows it modally and destroys it.
    // Returns whether the collection differs from what it was before (the caller then marks the
    // form modified). A null collection opens nothing and returns false.
    static bool Edit(TColecaoDePontos *pontos, QWidget *parent = nullptr);

    // Installs a hook and returns the previous one; an empty hook restores QDialog::exec.
    static TExecHook SetExecHook(TExecHook hook);
};

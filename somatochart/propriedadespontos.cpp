#include "somatochart/propriedadespontos.h"

#include "somatochart/colecaodepontos.h"
#include "somatochart/editorpropriedadespontos.h"

#include <utility>
#include <vector>

namespace {

TPropriedadesPontos::TExecHook &GanchoExec()
{
    static TPropriedadesPontos::TExecHook hook;
    return hook;
}

std::vector<TPonto> Copia(const TColecaoDePontos &pontos)
{
    std::vector<TPonto> copia;
    copia.reserve(size_t(pontos.Count()));
    for (int i = 0; i < pontos.Count(); ++i)
        copia.push_back(pontos.Items(i));
    return copia;
}

bool Iguais(const TPonto &a, const TPonto &b)
{
    return a.X == b.X && a.Y == b.Y && a.Cor == b.Cor && a.Forma == b.Forma &&
           a.Tamanho == b.Tamanho && a.Descricao == b.Descricao;
}

bool Iguais(const std::vector<TPonto> &antes, const TColecaoDePontos &depois)
{
    if (int(antes.size()) != depois.Count())
        return false;
    for (int i = 0; i < depois.Count(); ++i) {
        if (!Iguais(antes[size_t(i)], depois.Items(i)))
            return false;
    }
    return true;
}

}  // namespace

bool TPropriedadesPontos::Edit(TColecaoDePontos *pontos, QWidget *parent)
{
    if (!pontos)
        return false;
    const std::vector<TPonto> antes = Copia(*pontos);
    {
        TEditorPropriedadesPontos editor(pontos, parent);
        editor.Inicializar();
        if (GanchoExec())
            GanchoExec()(editor);
        else
            editor.exec();
    }
    return !Iguais(antes, *pontos);
}

TPropriedadesPontos::TExecHook TPropriedadesPontos::SetExecHook(TExecHook hook)
{
    return std::exchange(GanchoExec(), std::move(hook));
}

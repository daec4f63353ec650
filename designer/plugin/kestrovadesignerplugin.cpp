#include "kestrovadesignerplugin.h"

#include <QtDesigner/abstractformeditor.h>
#include <QtDesigner/taskmenu.h>
#include <QtDesigner/QExtensionManager>

#include "chart/vtxgraph.h"
#include "colorpropertysheet.h"
#include "componentplugin.h"
#include "components/customversao.h"
#include "components/dbgridkpr.h"
#include "components/editimp.h"
#include "designer/advancedcomwidget.h"
#include "designer/comthreadwidget.h"
#include "designer/vtxtimerwidget.h"
#include "pontostaskmenufactory.h"
#include "somatochart/somatocarta.h"

namespace {

template <class W>
QWidget *Create(QWidget *parent)
{
    return new W(parent);
}

void RegisterPontosTaskMenu(QDesignerFormEditorInterface *core)
{
    QExtensionManager *manager = core->extensionManager();
    manager->registerExtensions(new TPontosTaskMenuFactory(manager),
                                Q_TYPEID(QDesignerTaskMenuExtension));
}

// One property sheet factory serves every widget with TColor properties or a printed box; the
// first entry Designer initializes registers it.
void RegisterColorPropertySheet(QDesignerFormEditorInterface *core)
{
    QExtensionManager *manager = core->extensionManager();
    if (manager->findChild<TColorPropertySheetFactory *>())
        return;
    manager->registerExtensions(new TColorPropertySheetFactory(manager),
                                Q_TYPEID(QDesignerPropertySheetExtension));
}

void RegisterSomatocarta(QDesignerFormEditorInterface *core)
{
    RegisterColorPropertySheet(core);
    RegisterPontosTaskMenu(core);
}

const TComponentEntry kComponents[] = {
    {"TComThreadWidget", &TComThread::staticMetaObject, ":/kestrova/designer/comthread.png",
     "Porta serial (thread de leitura)",
     "Porta serial com uma thread de leitura: os bytes recebidos chegam em OnPacketReceived. "
     "Não aparece em execução; use ComThread() para chegar ao componente.",
     "designer/comthreadwidget.h", QSize(130, 32), Create<TComThreadWidget>, nullptr},
    {"TAdvancedComWidget", &TAdvancedCom::staticMetaObject, ":/kestrova/designer/advancedcom.png",
     "Porta serial com controle de DTR e RTS",
     "Porta serial que controla as linhas DTR e RTS e informa as linhas do modem em "
     "OnStatusChanged. Não aparece em execução; use AdvancedCom() para chegar ao componente.",
     "designer/advancedcomwidget.h", QSize(140, 32), Create<TAdvancedComWidget>, nullptr},
    {"TVtxTimerWidget", &TVtxTimer::staticMetaObject, ":/kestrova/designer/vtxtimer.png",
     "Temporizador periódico (ms)",
     "Chama OnTimer a cada Intervalo ms numa thread própria enquanto Habilitado. Não aparece "
     "em execução; use VtxTimer() para chegar ao componente.",
     "designer/vtxtimerwidget.h", QSize(120, 32), Create<TVtxTimerWidget>, nullptr},
    {"TEditImp", &TEditImp::staticMetaObject, ":/kestrova/designer/editimp.png",
     "Caixa de texto que cabe na impressão",
     "Caixa de texto cujo conteúdo precisa caber numa caixa impressa (InterfaceImpressora).",
     "components/editimp.h", QSize(121, 21), Create<TEditImp>, RegisterColorPropertySheet},
    {"TDBGridKpr", &TDBGridKpr::staticMetaObject, ":/kestrova/designer/dbgridkpr.png",
     "Grade de dados",
     "Tabela sobre uma consulta SQL que lê as células como texto e sinaliza o arrasto.",
     "components/dbgridkpr.h", QSize(320, 120), Create<TDBGridKpr>, nullptr},
    {"TSomatocarta", &TSomatocarta::staticMetaObject, ":/kestrova/designer/somatocarta.png",
     "Somatocarta",
     "Carta de somatotipo com pontos, legenda e figuras. Clique duas vezes (ou use \"Editar "
     "pontos...\") para editar os pontos.",
     "somatochart/somatocarta.h", QSize(375, 305), Create<TSomatocarta>, RegisterSomatocarta},
    {"TCustomVersao", &TCustomVersao::staticMetaObject, ":/kestrova/designer/customversao.png",
     "Versão do programa", "Rótulo com a versão do executável em execução.",
     "components/customversao.h", QSize(80, 16), Create<TCustomVersao>, RegisterColorPropertySheet},
    {"TvtxGraph", &TvtxGraph::staticMetaObject, ":/kestrova/designer/vtxgraph.png", "Gráfico X/Y",
     "Gráfico com um eixo X e um ou dois eixos Y, que redesenha e imprime o que foi plotado.",
     "chart/vtxgraph.h", QSize(400, 300), Create<TvtxGraph>, RegisterColorPropertySheet},
};

}  // namespace

TKestrovaDesignerPlugin::TKestrovaDesignerPlugin(QObject *parent) : QObject(parent)
{
    for (const TComponentEntry &entry : kComponents)
        FWidgets.append(new TComponentPlugin(entry, this));
}

QList<QDesignerCustomWidgetInterface *> TKestrovaDesignerPlugin::customWidgets() const
{
    return FWidgets;
}

// The engine module's entry point: the program loads this module when it shows its first page.
#include "platform/EngineModule.h"
#include "platform/LocalPageSchemeHandler.h"
#include "platform/WebEngineBrowser.h"

#include <QCoreApplication>
#include <QOpenGLContext>

QT_BEGIN_NAMESPACE
// Qt's own setter of the context all contexts share, the one the engine uses for it too.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

QOpenGLContext* standInContext = nullptr;

void dropStandInContext()
{
    if (QOpenGLContext::globalShareContext() == standInContext)
        qt_gl_set_global_share_context(nullptr);
    delete standInContext;
    standInContext = nullptr;
}

// The engine reads the format of the shared OpenGL context when it starts, and that context is
// made only for previews that draw with OpenGL (before the application object). The software
// scene graph never draws with it, so a context that is never created stands in, at no cost; the
// engine then renders without the GPU, as it does anyway with that scene graph.
void ensureSharedContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    standInContext = new QOpenGLContext;
    qt_gl_set_global_share_context(standInContext);
    qAddPostRoutine(dropStandInContext);
}

} // namespace

extern "C" Q_DECL_EXPORT Browser*
pagewrightCreateWebEngineBrowser(QWidget* parent, EngineModule::PageCharset pageCharset)
{
    // Nothing of the engine exists before this first call, so the scheme is still in time.
    if (!LocalPageSchemeHandler::isRegistered())
        LocalPageSchemeHandler::registerScheme(pageCharset);
    ensureSharedContext();
    return new WebEngineBrowser(parent);
}

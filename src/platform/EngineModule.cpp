#include "platform/EngineModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>
#include <unistd.h>

namespace {

// Qt's own handler when no other was installed.
QtMessageHandler previousHandler = nullptr;

// Two warnings of the engine that say only that it runs without OpenGL, as the previews on the
// software scene graph mean it to: loaded after the application object exists, it warns that it
// was "initialized from a plugin"; and its GPU thread finds no OpenGL configuration to use.
void dropNoOpenGLWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && !EngineModule::usesOpenGL() &&
        (text.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin")) ||
         text.startsWith(QLatin1String("No suitable graphics backend found"))))
        return;
    previousHandler(type, context, text);
}

// The web engine's sandbox cannot start for root: turned off in that case only, before the engine
// reads its settings, and said when the engine really starts.
void turnOffSandboxForRoot()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("pagewright: running as root, so the web engine's sandbox is turned off\n", stderr);
}

} // namespace

EngineModule::EngineModule(QStringList candidates, PageCharset pageCharset)
    : candidates_(std::move(candidates)), pageCharset_(pageCharset)
{}

// Deleting the QLibrary leaves the module loaded: the engine's objects and threads live to the end
// of the program.
EngineModule::~EngineModule() = default;

QStringList EngineModule::besideProgram()
{
    const QDir programDirectory(QCoreApplication::applicationDirPath());
    return {programDirectory.filePath(QLatin1String(fileName)),
            QDir::cleanPath(programDirectory.filePath(
                QStringLiteral(PAGEWRIGHT_INSTALLED_MODULE_DIR "/") + QLatin1String(fileName)))};
}

bool EngineModule::load()
{
    if (create_)
        return true;
    QStringList reasons;
    for (const QString& candidate : std::as_const(candidates_)) {
        if (!QFileInfo::exists(candidate))
            continue;
        auto library = std::make_unique<QLibrary>(candidate);
        if (!previousHandler)
            previousHandler = qInstallMessageHandler(dropNoOpenGLWarnings);
        turnOffSandboxForRoot();
        const bool loaded = library->load();
        auto create = loaded
                          ? reinterpret_cast<CreateBrowser>(library->resolve(createBrowserSymbol))
                          : nullptr;
        if (create) {
            library_ = std::move(library);
            create_ = create;
            return true;
        }
        reasons << library->errorString();
    }
    error_ = reasons.isEmpty()
                 ? QStringLiteral("модуль %1 не найден (искали: %2)")
                       .arg(QLatin1String(fileName), candidates_.join(QLatin1String(", ")))
                 : reasons.join(QLatin1String("; "));
    return false;
}

Browser* EngineModule::createBrowser(QWidget* parent)
{
    return load() ? create_(parent, pageCharset_) : nullptr;
}

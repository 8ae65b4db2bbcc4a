#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class Browser;
class QLibrary;
class QWidget;

// The web engine lives in a module of its own, loaded when the first page is shown. Linked into
// the program, the engine's libraries would be loaded and initialised at every start (they also
// create an OpenGL context before the first window can appear), although many sessions only edit.
class EngineModule
{
public:
    // The charset, as browsers name it, that an HTML page's bytes are read in.
    using PageCharset = QByteArray (*)(const QByteArray& page);
    // The module's one entry point: a new browser owned by `parent`, serving local pages with
    // `pageCharset`.
    using CreateBrowser = Browser* (*)(QWidget* parent, PageCharset pageCharset);
    static constexpr const char* createBrowserSymbol = "pagewrightCreateWebEngineBrowser";
    static constexpr const char* fileName = "pagewright-webengine.so";

    // `candidates` are the module's possible paths, tried in order.
    EngineModule(QStringList candidates, PageCharset pageCharset);
    ~EngineModule();
    EngineModule(const EngineModule&) = delete;
    EngineModule& operator=(const EngineModule&) = delete;

    // Whether the previews draw with OpenGL: only when Qt Quick's variables ask for it; else with
    // the software scene graph.
    static bool usesOpenGL()
    {
        return !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") ||
               !qEnvironmentVariableIsEmpty("QT_QUICK_GRAPHICS_API");
    }

    // Where the program looks for the module: beside the program (a build tree), then where the
    // install puts it.
    static QStringList besideProgram();

    // A new browser from the module, loading it first; null when the module cannot be loaded,
    // with the reason in errorString().
    Browser* createBrowser(QWidget* parent);
    QString errorString() const { return error_; }

private:
    bool load();

    QStringList candidates_;
    PageCharset pageCharset_;
    std::unique_ptr<QLibrary> library_;
    CreateBrowser create_ = nullptr;
    QString error_;
};

// A stand-in for the engine module: its browser records what it is asked in its "calls" property
// and answers a navigation with the two notifications a real page load brings.
#include "platform/Browser.h"
#include "platform/EngineModule.h"

#include <QStringList>
#include <QVariant>

namespace {

class RecordingBrowser : public Browser
{
public:
    RecordingBrowser(QWidget* parent, EngineModule::PageCharset pageCharset) : Browser(parent)
    {
        record(QStringLiteral("charset of <p>: ") +
               QString::fromLatin1(pageCharset(QByteArrayLiteral("<p>"))));
    }

    void navigate(const QString& path) override
    {
        record(QStringLiteral("navigate ") + path);
        emit commandStateChange(BackCommand, true);
        emit documentComplete();
    }
    void refresh() override { record(QStringLiteral("refresh")); }
    void goBack() override { record(QStringLiteral("back")); }
    void goForward() override { record(QStringLiteral("forward")); }
    void setDefaultTextEncoding(const QByteArray& charset) override
    {
        record(QStringLiteral("encoding ") + QString::fromLatin1(charset));
    }

private:
    void record(const QString& call)
    {
        setProperty("calls", property("calls").toStringList() << call);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT Browser*
pagewrightCreateWebEngineBrowser(QWidget* parent, EngineModule::PageCharset pageCharset)
{
    return new RecordingBrowser(parent, pageCharset);
}

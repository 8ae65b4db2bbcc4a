// A local page in the preview is held to what a browser allows a page opened from disk: it shows
// local and web resources, but its scripts read no other local file. A probe page tries every
// read and colours itself by the outcome.
#include "e2e/EndToEndPlatform.h"
#include "platform/LocalPageSchemeHandler.h"
#include "platform/WebEngineBrowser.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QColor allAsExpected(0, 0xa0, 0);

// Each probe names a read or a resource and what a trustworthy preview makes of it: every read of
// another local file is "refused", every resource the page shows is "loaded". The page turns
// green when all outcomes are as expected, red otherwise.
const char* const probePage = R"(<!doctype html>
<html><head><meta charset=utf-8>
<link rel=stylesheet href=style.css>
<link rel=stylesheet href="http://127.0.0.1:@PORT@/remote.css">
<style>@font-face { font-family: probe; src: url("@FONT@") }</style>
<script src="@ELSEWHERE@/script.js"></script>
</head><body style="margin:0;min-height:100vh">
<p id=own>own stylesheet</p><p id=remote>remote stylesheet</p>
<img id=near src=pictures/red.png><img id=far src="@ELSEWHERE@/blue.png">
<img id=web src="http://127.0.0.1:@PORT@/remote.png">
<iframe id=frame src=other.html></iframe>
<object id=object data=other.html type=text/html></object>
<audio id=audio src=tone.wav preload=auto></audio>
<script>
const expected = {}, results = {};
function settle(name, want, outcome) {
    expected[name] = want;
    return Promise.resolve(outcome).then(got => { results[name] = got; }, () => { results[name] = 'refused'; });
}
function byXhr(url) {
    return new Promise(done => {
        try {
            const request = new XMLHttpRequest();
            request.open('GET', url);
            request.onload = () => done(request.responseText.length > 0 ? 'read' : 'refused');
            request.onerror = () => done('refused');
            request.send();
        } catch (e) { done('refused'); }
    });
}
function byFetch(url) {
    return fetch(url).then(r => r.text()).then(t => t.length > 0 ? 'read' : 'refused', () => 'refused');
}
function loaded(element, event) {
    return new Promise(done => {
        element.addEventListener(event, () => done('loaded'));
        element.addEventListener('error', () => done('refused'));
    });
}
function imageLoaded(id) {
    const image = document.getElementById(id);
    return image.complete ? (image.naturalWidth > 0 ? 'loaded' : 'refused') : loaded(image, 'load');
}
function scriptServed(src) {
    const script = document.createElement('script');
    script.src = src;
    const outcome = loaded(script, 'load');
    document.head.appendChild(script);
    return outcome.then(o => o === 'loaded' ? 'read' : 'refused');
}
function documentOf(getDocument) {
    try {
        const page = getDocument();
        return page && page.body && page.body.textContent.includes('other') ? 'read' : 'refused';
    } catch (e) { return 'refused'; }
}
const frameShown = new Promise(done => addEventListener('message', e => { if (e.data === 'other') done('loaded'); }));
const reads = {
    'absolute path': '/etc/passwd', 'environment': '/proc/self/environ',
    'parent folders': '../../../../../../../../../etc/hostname', 'encoded slash': '/etc%2Fhostname',
    'link out': 'link-to-hostname', 'file url': 'file:///etc/hostname', 'file beside': 'secret.txt',
    'file beside, own origin': '@SECRET_URL@', 'hostname, own origin': '@HOSTNAME_URL@',
    'web page without cors': 'http://127.0.0.1:@PORT@/remote.css'};
const probes = [];
for (const [name, url] of Object.entries(reads)) {
    probes.push(settle('xhr: ' + name, 'refused', byXhr(url)));
    probes.push(settle('fetch: ' + name, 'refused', byFetch(url)));
}
for (const [name, src] of Object.entries({'environment': '/proc/self/environ', 'null device': '/dev/null',
        'link to environment': 'link-to-environ', 'folder': '/etc/', 'socket': 'socket'}))
    probes.push(settle('served: ' + name, 'refused', scriptServed(src)));
probes.push(settle('frame shown', 'loaded', frameShown));
probes.push(frameShown.then(() => settle('frame document', 'refused',
    documentOf(() => document.getElementById('frame').contentDocument))));
probes.push(frameShown.then(() => settle('frame window document', 'refused',
    documentOf(() => document.getElementById('frame').contentWindow.document))));
probes.push(settle('object document', 'refused', loaded(document.getElementById('object'), 'load')
    .then(() => documentOf(() => document.getElementById('object').contentDocument))));
// The preview opens no second window, so the opened one may never load: it is read once
// everything else is done.
const opened = window.open('other.html');
probes.push(settle('own stylesheet', 'loaded',
    getComputedStyle(document.getElementById('own')).color === 'rgb(1, 2, 3)' ? 'loaded' : 'refused'));
probes.push(settle('remote stylesheet', 'loaded',
    getComputedStyle(document.getElementById('remote')).color === 'rgb(4, 5, 6)' ? 'loaded' : 'refused'));
probes.push(settle('script elsewhere', 'loaded', window.scriptElsewhere ? 'loaded' : 'refused'));
for (const id of ['near', 'far', 'web'])
    probes.push(settle('image ' + id, 'loaded', imageLoaded(id)));
probes.push(settle('font', 'loaded', document.fonts.load('16px probe').then(f => f.length > 0 ? 'loaded' : 'refused')));
const audio = document.getElementById('audio');
probes.push(settle('audio', 'loaded', audio.readyState > 0 ? 'loaded' : loaded(audio, 'loadedmetadata')));
Promise.all(probes)
    .then(() => settle('opened window document', 'refused', documentOf(() => opened.document)))
    .then(() => {
    const good = Object.keys(expected).every(name => results[name] === expected[name]);
    document.body.style.background = good ? 'rgb(0, 160, 0)' : 'rgb(200, 0, 0)';
    window.probeResults = JSON.stringify(results);
});
</script></body></html>
)";

// A short silent WAV file.
QByteArray silence()
{
    const quint32 samples = 800;
    QByteArray wav;
    const auto put32 = [&](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    wav += "RIFF";
    put32(36 + samples);
    wav += "WAVEfmt ";
    put32(16);
    put16(1);    // PCM
    put16(1);    // mono
    put32(8000); // samples per second
    put32(8000); // bytes per second
    put16(1);    // block
    put16(8);    // bits
    wav += "data";
    put32(samples);
    wav += QByteArray(samples, char(0x80));
    return wav;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

bool savePicture(const QString& path, int width, int height, const QColor& color)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    return picture.save(path);
}

// A web server on the loopback address for the page's web resources, serving `folder`.
class LoopbackServer
{
public:
    explicit LoopbackServer(const QString& folder)
    {
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(QStringLiteral("python3"),
                      {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                       QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                       QStringLiteral("--directory"), folder});
        static const QRegularExpression serving(QStringLiteral("port (\\d+)"));
        const bool started = QTest::qWaitFor(
            [&] {
                server_.waitForReadyRead(100);
                log_ += server_.readAll();
                const QRegularExpressionMatch match = serving.match(QString::fromUtf8(log_));
                port_ = match.hasMatch() ? match.captured(1).toInt() : 0;
                return port_ != 0 || server_.state() == QProcess::NotRunning;
            },
            30000);
        if (!started)
            port_ = 0;
    }
    ~LoopbackServer()
    {
        server_.kill();
        server_.waitForFinished();
    }

    int port() const { return port_; }
    // The server's log so far: one line per request.
    QString log()
    {
        log_ += server_.readAll();
        return QString::fromUtf8(log_);
    }

private:
    QProcess server_;
    QByteArray log_;
    int port_ = 0;
};

class PreviewSandboxEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(site.isValid() && elsewhere.isValid() && web.isValid());
        browser.resize(500, 400);
        browser.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    }

    // Runs `load`, then waits for the finished document.
    template <typename Load> bool loads(Load load)
    {
        QSignalSpy loaded(&browser, &Browser::documentComplete);
        load();
        return loaded.wait(30000);
    }

    QVariant evaluate(const QString& script)
    {
        QVariant value;
        bool done = false;
        browser.view()->page()->runJavaScript(script, [&](const QVariant& result) {
            value = result;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));
        return value;
    }

    // The text of what `script` gives, or of what its promise settles with.
    QString settled(const QString& script)
    {
        evaluate(QStringLiteral("window.settled = undefined; Promise.resolve(%1).then(v => "
                                "window.settled = String(v), e => window.settled = 'failed')")
                     .arg(script));
        QString value;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                value = evaluate(QStringLiteral("window.settled")).toString();
                return !value.isEmpty();
            },
            10000));
        return value;
    }

    QTemporaryDir site, elsewhere, web;
    WebEngineBrowser browser;
};

TEST_F(PreviewSandboxEndToEnd, AProbePageReadsNothingAndShowsItsResources)
{
    LoopbackServer server(web.path());
    ASSERT_NE(server.port(), 0) << server.log().toStdString();
    ASSERT_TRUE(writeFile(web.filePath("remote.css"), "#remote { color: rgb(4, 5, 6) }"));
    ASSERT_TRUE(savePicture(web.filePath("remote.png"), 15, 9, Qt::green));

    const QDir dir(site.path());
    ASSERT_TRUE(dir.mkdir("pictures"));
    ASSERT_TRUE(savePicture(dir.filePath("pictures/red.png"), 7, 5, Qt::red));
    ASSERT_TRUE(savePicture(QDir(elsewhere.path()).filePath("blue.png"), 11, 3, Qt::blue));
    ASSERT_TRUE(
        writeFile(QDir(elsewhere.path()).filePath("script.js"), "window.scriptElsewhere = true;"));
    ASSERT_TRUE(writeFile(dir.filePath("style.css"), "#own { color: rgb(1, 2, 3) }"));
    ASSERT_TRUE(writeFile(dir.filePath("secret.txt"), "secret"));
    ASSERT_TRUE(writeFile(dir.filePath("tone.wav"), silence()));
    ASSERT_TRUE(writeFile(dir.filePath("other.html"),
                          "<p>other</p><script>(window.opener || parent).postMessage('other', "
                          "'*')</script>"));
    ASSERT_TRUE(QFile::link("/etc/hostname", dir.filePath("link-to-hostname")));
    ASSERT_TRUE(QFile::link("/proc/self/environ", dir.filePath("link-to-environ")));
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(dir.filePath("socket"));
    ASSERT_LT(socketPath.size(), qsizetype(sizeof address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const QString font = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_TRUE(QFile::exists(font)) << "the probe needs the DejaVu fonts (fonts-dejavu-core)";
    QString page = QString::fromUtf8(probePage);
    page.replace("@PORT@", QString::number(server.port()))
        .replace("@FONT@", font)
        .replace("@ELSEWHERE@", elsewhere.path())
        .replace("@SECRET_URL@",
                 LocalPageSchemeHandler::pageUrl(dir.filePath("secret.txt")).toString())
        .replace("@HOSTNAME_URL@",
                 LocalPageSchemeHandler::pageUrl(QStringLiteral("/etc/hostname")).toString());
    const QString probe = dir.filePath("probe.html");
    ASSERT_TRUE(writeFile(probe, page.toUtf8()));

    ASSERT_TRUE(loads([&] { browser.navigate(probe); }));
    QString results;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            results = evaluate(QStringLiteral("window.probeResults || ''")).toString();
            return !results.isEmpty();
        },
        60000))
        << "the probe did not finish: "
        << evaluate(QStringLiteral("JSON.stringify(Object.keys(expected).filter(n => !(n in "
                                   "results)))"))
               .toString()
               .toStdString();
    const QJsonObject outcome = QJsonDocument::fromJson(results.toUtf8()).object();
    ASSERT_FALSE(outcome.isEmpty()) << results.toStdString();
    for (auto it = outcome.begin(); it != outcome.end(); ++it) {
        const bool resource = !it.key().contains(QLatin1String(": ")) &&
                              !it.key().contains(QLatin1String("document"));
        EXPECT_EQ(it.value().toString(), resource ? "loaded" : "refused") << it.key().toStdString();
    }
    EXPECT_EQ(outcome.size(), 38);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return shareOfColor(screenPixels(&browser), allAsExpected) > 0.5; }, 10000))
        << "the probe page did not turn green";
    if (const QByteArray shot = qgetenv("PAGEWRIGHT_PROBE_SCREENSHOT"); !shot.isEmpty())
        screenPixels(&browser).save(QString::fromLocal8Bit(shot));
    EXPECT_TRUE(server.log().contains("GET /remote.png")) << server.log().toStdString();
    ::close(listening);
}

// In a browser each file opened from disk is its own origin, so a page's script can neither read
// the pixels of another file's picture drawn on a canvas nor the rules of another file's
// stylesheet, however the page names the file; the page's own styles stay readable, and the
// other files are shown and applied all the same, with what they name in turn.
TEST_F(PreviewSandboxEndToEnd, ScriptsReadNoPixelsNorRulesOfOtherFiles)
{
    const QDir dir(site.path());
    const QString font = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_TRUE(QFile::copy(font, dir.filePath("beside.ttf")));
    ASSERT_TRUE(savePicture(dir.filePath("red.png"), 7, 5, Qt::red));
    ASSERT_TRUE(savePicture(dir.filePath("back.png"), 3, 3, Qt::blue));
    ASSERT_TRUE(writeFile(dir.filePath("style.css"), R"(@import "imported.css";
#own { color: rgb(1, 2, 3) }
#backed { background-image: url(back.png); width: 3px; height: 3px }
@font-face { font-family: beside; src: url(beside.ttf) })"));
    ASSERT_TRUE(writeFile(dir.filePath("imported.css"), "#imported { color: rgb(4, 5, 6) }"));
    const QString page = dir.filePath("page.html");
    const QString red = dir.filePath("red.png");
    ASSERT_TRUE(writeFile(page, QStringLiteral(R"(<link rel=stylesheet href=style.css>
<style>#inline { color: rgb(7, 8, 9) }</style>
<p id=own>own</p><p id=imported>imported</p><p id=inline>inline</p><div id=backed></div>
<img id=beside src=red.png><img id=ownOrigin src="%1"><img id=fileUrl src="%2">)")
                                    .arg(LocalPageSchemeHandler::pageUrl(red).toString(),
                                         QUrl::fromLocalFile(red).toString())
                                    .toUtf8()));
    ASSERT_TRUE(loads([&] { browser.navigate(page); }));

    const QString pixelsRead = QStringLiteral(R"((id => {
        const canvas = document.createElement('canvas');
        const context = canvas.getContext('2d');
        context.drawImage(document.getElementById(id), 0, 0);
        try { return 'read ' + context.getImageData(0, 0, 1, 1).data[0]; }
        catch (e) { return 'refused'; } })('%1'))");
    const QString rulesRead = QStringLiteral(R"((i => {
        try { return 'read ' + document.styleSheets[i].cssRules.length; }
        catch (e) { return 'refused'; } })(%1))");
    const QString colour = QStringLiteral("getComputedStyle(document.getElementById('%1')).color");
    for (const char* id : {"beside", "ownOrigin", "fileUrl"}) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return evaluate(QStringLiteral("document.getElementById('%1').naturalWidth")
                                    .arg(QLatin1String(id)))
                           .toInt() == 7;
            },
            10000))
            << id << ": the picture is not shown";
    }
    const struct
    {
        const char* what;
        QString script;
        const char* expected;
    } rows[] = {
        {"the stylesheet applies", colour.arg("own"), "rgb(1, 2, 3)"},
        {"the stylesheet it imports applies", colour.arg("imported"), "rgb(4, 5, 6)"},
        {"the page's own styles apply", colour.arg("inline"), "rgb(7, 8, 9)"},
        {"the picture the stylesheet names is shown",
         "new Promise((done, fail) => { const i = new Image(); i.onload = () => done(i.width); "
         "i.onerror = fail; i.src = getComputedStyle(document.getElementById('backed'))"
         ".backgroundImage.slice(5, -2); })",
         "3"},
        {"the font the stylesheet names loads",
         "document.fonts.load('16px beside').then(f => f.length)", "1"},
        {"pixels of a picture beside", pixelsRead.arg("beside"), "refused"},
        {"pixels of a picture under its own origin", pixelsRead.arg("ownOrigin"), "refused"},
        {"pixels of a picture by a file: URL", pixelsRead.arg("fileUrl"), "refused"},
        {"rules of a stylesheet beside", rulesRead.arg(0), "refused"},
        {"rules of the page's own styles", rulesRead.arg(1), "read 1"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(settled(row.script), QString::fromLatin1(row.expected)) << row.what;
}

// A link to a web address opens in the preview.
TEST_F(PreviewSandboxEndToEnd, LinksToTheWebOpenInThePreview)
{
    LoopbackServer server(web.path());
    ASSERT_NE(server.port(), 0) << server.log().toStdString();
    ASSERT_TRUE(writeFile(web.filePath("page.html"), "<p>on the web</p>"));
    const QString local = QDir(site.path()).filePath("local.html");
    ASSERT_TRUE(writeFile(local, QStringLiteral("<p>local</p><a id=link href=\"http://127.0.0.1:"
                                                "%1/page.html\">web</a>")
                                     .arg(server.port())
                                     .toUtf8()));
    const auto bodyText = [&] {
        return evaluate(QStringLiteral("document.body.innerText")).toString().trimmed();
    };
    ASSERT_TRUE(loads([&] { browser.navigate(local); }));
    ASSERT_TRUE(
        loads([&] { evaluate(QStringLiteral("document.getElementById('link').click()")); }));
    EXPECT_EQ(browser.view()->url().scheme(), QStringLiteral("http"));
    EXPECT_EQ(bodyText(), QStringLiteral("on the web"));
}

} // namespace

#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>
#include <memory>

class QIODevice;

class QWebEngineProfile;

// Serves local files to the web engine under a scheme of our own, laid out as file: URLs are
// (the URL's path is the file's path), so that a page's relative links, images and stylesheets
// resolve to the files beside it. Unlike file:, each answer carries a Content-Type, and for an
// HTML page its charset is the one this program reads the file in: for file: pages Chromium runs
// its own charset detector and takes the default encoding only as a hint, so a short undeclared
// Windows-1251 page ("Ок") came out as CJK.
//
// The URL's host names the origin, and every file has one of its own, made from its path: as a
// browser opens files from disk, a page's scripts cannot read other local files, while the page
// still shows them (LocalPageRequestGuard moves each request to its file's own origin). What is
// served at all is LocalFileSource's rule.
class LocalPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    // The charset, as browsers name it, that an HTML page's bytes are read in.
    using PageCharset = std::function<QByteArray(const QByteArray& bytes)>;

    static const QByteArray schemeName;

    // Registers the scheme with the engine and the rule for the charset of pages. Must run
    // before the application object is created, as the engine requires.
    static void registerScheme(PageCharset pageCharset);
    static bool isRegistered();
    // Serves the scheme for `profile` (once per profile), with the rules of local pages.
    static void installOn(QWebEngineProfile* profile);

    // The URL that shows the file at the absolute `path`, under the file's own origin: ours when
    // the scheme is registered, else file:.
    static QUrl pageUrl(const QString& path);
    // The host that names the origin of the file at `path`.
    static QString originHost(const QString& path);
    // The local file a URL of our scheme names, under any origin of ours; empty for any other URL.
    static QString filePath(const QUrl& url);
    // Whether `url` is of our scheme and under its file's own origin.
    static bool isUnderOwnOrigin(const QUrl& url);
    // The Content-Type for a file of `mimeType`; the charset is added when not empty.
    static QByteArray contentType(const QString& mimeType, const QByteArray& charset);

    // The length of `head`, the start of a longer page, without the UTF-8 character that the cut
    // may have split (its lead byte starts a sequence longer than what is left).
    static qsizetype wholeCharactersLength(const QByteArray& head);

    // Where the bytes of a path come from, kept in this one place: the file itself, as
    // LocalFileSource serves it, unless another source (say the editor's own text) takes its
    // place. Null when the path is not served.
    using Source = std::function<std::unique_ptr<QIODevice>(const QString& path)>;
    // The bytes served at `path` by default: the text served there, else the file.
    static std::unique_ptr<QIODevice> openServed(const QString& path);

    // Serves `bytes` as the file at the absolute `path` (which need not exist) to every preview,
    // until stopServingText: the live preview's page is the editor's text, at the page's own
    // address. `charset` is the charset of the bytes, or empty to tell it from them.
    static void serveText(const QString& path, const QByteArray& bytes,
                          const QByteArray& charset = {});
    static void stopServingText(const QString& path);
    // The text served at `path`, or null bytes when the file itself is served.
    static QByteArray servedText(const QString& path);
    // The charset the text at `path` was served with; empty when told from the bytes.
    static QByteArray servedCharset(const QString& path);

    explicit LocalPageSchemeHandler(QObject* parent = nullptr, Source source = {});
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    Source source_;
};

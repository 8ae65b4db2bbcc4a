#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>

class QWebEngineProfile;

// Serves local files to the web engine under a scheme of our own, laid out as file: URLs are
// (the URL's path is the file's path, under one fixed host), so that a page's relative links,
// images and stylesheets resolve to the files beside it. Unlike file:, each answer carries a
// Content-Type, and for an HTML page its charset is the one this program reads the file in: for
// file: pages Chromium runs its own charset detector and takes the default encoding only as a hint,
// so a short undeclared Windows-1251 page ("Ок") came out as CJK.
//
// Anything that is not a regular file (after following links) is refused at once: a pipe or a
// device would block the engine or never end.
class LocalPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    // The charset, as browsers name it, that an HTML page's bytes are read in.
    using PageCharset = std::function<QByteArray(const QByteArray& bytes)>;

    static const QByteArray schemeName;
    static const QString hostName;

    // Registers the scheme with the engine and the rule for the charset of pages. Must run
    // before the application object is created, as the engine requires.
    static void registerScheme(PageCharset pageCharset);
    static bool isRegistered();
    // Serves the scheme for `profile` (once per profile).
    static void installOn(QWebEngineProfile* profile);

    // The URL that shows the file at `path`: ours when the scheme is registered, else file:.
    static QUrl pageUrl(const QString& path);
    // The local file a URL of our scheme names; empty for any other URL.
    static QString filePath(const QUrl& url);
    // The Content-Type for a file of `mimeType`; the charset is added when not empty.
    static QByteArray contentType(const QString& mimeType, const QByteArray& charset);

    // The length of `head`, the start of a longer page, without the UTF-8 character that the cut
    // may have split (its lead byte starts a sequence longer than what is left).
    static qsizetype wholeCharactersLength(const QByteArray& head);

    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

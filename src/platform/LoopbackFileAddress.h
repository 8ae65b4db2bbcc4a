#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The addresses of the previews' loopback file server (LoopbackFileServer): each local file at
// http://<label>.localhost:<port>/<its path>, where the label is made from the path with a secret
// of this run. So every file is an origin of its own on the web's ordinary rules (the engine
// taints a canvas with another origin's picture and keeps another origin's stylesheet rules from
// scripts), and no other program on the machine, nor a page that knows one file's address, can
// name another file: without the secret nobody can make its label.
class LoopbackFileAddress
{
public:
    // No server: names no file.
    LoopbackFileAddress() = default;
    LoopbackFileAddress(QByteArray secret, quint16 port);

    // A secret no other program can guess.
    static QByteArray newSecret();

    bool isValid() const { return port_ != 0 && !secret_.isEmpty(); }
    quint16 port() const { return port_; }

    // The host that names the origin of the file at the absolute `path`.
    QString hostOf(const QString& path) const;
    // The URL of the file at the absolute `path`, under its own origin.
    QUrl urlOf(const QString& path) const;
    // The file a URL of this server names, under any label of the right form; empty for any other
    // URL.
    QString filePath(const QUrl& url) const;
    // Whether `url` is this server's and names its file under the file's own origin.
    bool isUnderOwnOrigin(const QUrl& url) const;

private:
    QByteArray secret_;
    quint16 port_ = 0;
};

#pragma once

#include "platform/LoopbackFileAddress.h"
#include "platform/LoopbackFileReply.h"

#include <QObject>

class QTcpServer;

// Serves local files to the previews over HTTP on the loopback address, each file under an origin
// of its own (LoopbackFileAddress), with LocalFileSource's rules of what is served. The engine
// treats a custom scheme's answers as same-origin for a canvas and for stylesheet rules whatever
// their origin; over HTTP it keeps another file's pixels and rules from the page's scripts, as a
// browser does with files opened from disk. Listens only once start() is called.
class LoopbackFileServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackFileServer(LoopbackFileReply::Source source, QObject* parent = nullptr);

    // Starts listening on a free port of 127.0.0.1, unless it already does; false when it cannot.
    bool start();
    // The addresses of the files served; invalid before start().
    const LoopbackFileAddress& address() const { return address_; }

private:
    void acceptConnections();

    LoopbackFileReply::Source source_;
    QTcpServer* server_ = nullptr;
    LoopbackFileAddress address_;
};

#pragma once

#include "platform/LoopbackFileReply.h"

#include <QObject>

class QTcpSocket;
class QTimer;

// One connection to the loopback file server: reads one request head, answers it, streams the
// file a piece at a time as the engine takes it (a large file is never held in memory), and
// closes. A client that sends no complete head in time, or too large a one, is dropped.
class LoopbackFileConnection : public QObject
{
    Q_OBJECT
public:
    LoopbackFileConnection(QTcpSocket* socket, const LoopbackFileAddress& address,
                           LoopbackFileReply::Source source, QObject* parent);

private:
    void readHead();
    void sendMore();
    void close();

    QTcpSocket* socket_;
    LoopbackFileAddress address_;
    LoopbackFileReply::Source source_;
    QTimer* headTimeout_;
    QByteArray received_;
    LoopbackFileReply reply_;
    bool answered_ = false;
    bool closing_ = false;
};

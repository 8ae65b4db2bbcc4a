#include "platform/LoopbackFileServer.h"

#include "platform/LoopbackFileConnection.h"

#include <QTcpServer>

LoopbackFileServer::LoopbackFileServer(LoopbackFileReply::Source source, QObject* parent)
    : QObject(parent), source_(std::move(source))
{}

bool LoopbackFileServer::start()
{
    if (address_.isValid())
        return true;
    if (!server_) {
        server_ = new QTcpServer(this);
        connect(server_, &QTcpServer::newConnection, this, &LoopbackFileServer::acceptConnections);
    }
    if (!server_->listen(QHostAddress::LocalHost, 0))
        return false;
    address_ = LoopbackFileAddress(LoopbackFileAddress::newSecret(), server_->serverPort());
    return true;
}

void LoopbackFileServer::acceptConnections()
{
    while (QTcpSocket* socket = server_->nextPendingConnection())
        new LoopbackFileConnection(socket, address_, source_, this);
}

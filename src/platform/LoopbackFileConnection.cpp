#include "platform/LoopbackFileConnection.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// How long a client may take to send its request head.
constexpr int headTimeoutMs = 30000;
// The piece of a file read at a time, and how much may wait in the socket's buffer.
constexpr qint64 pieceBytes = 64 * 1024;

} // namespace

LoopbackFileConnection::LoopbackFileConnection(QTcpSocket* socket,
                                               const LoopbackFileAddress& address,
                                               LoopbackFileReply::Source source, QObject* parent)
    : QObject(parent), socket_(socket), address_(address), source_(std::move(source)),
      headTimeout_(new QTimer(this))
{
    socket_->setParent(this);
    connect(socket_, &QTcpSocket::readyRead, this, &LoopbackFileConnection::readHead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &LoopbackFileConnection::sendMore);
    connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(socket_, &QTcpSocket::errorOccurred, this, &LoopbackFileConnection::close);
    headTimeout_->setSingleShot(true);
    connect(headTimeout_, &QTimer::timeout, this, &LoopbackFileConnection::close);
    headTimeout_->start(headTimeoutMs);
    readHead();
}

void LoopbackFileConnection::readHead()
{
    if (answered_) {
        socket_->readAll(); // one request per connection
        return;
    }
    received_ += socket_->read(LoopbackFileReply::maxHeadBytes + 1 - received_.size());
    const qsizetype length = LoopbackFileReply::headLength(received_);
    if (length == 0 && received_.size() <= LoopbackFileReply::maxHeadBytes)
        return;
    answered_ = true;
    headTimeout_->stop();
    reply_ = length == 0 ? LoopbackFileReply::answer({}, address_, source_)
                         : LoopbackFileReply::answer(received_.left(length), address_, source_);
    received_.clear();
    socket_->write(reply_.header);
    sendMore();
}

void LoopbackFileConnection::sendMore()
{
    if (!answered_ || closing_)
        return;
    while (reply_.bodyLength > 0 && socket_->bytesToWrite() < pieceBytes) {
        const QByteArray piece = reply_.body->read(qMin(pieceBytes, reply_.bodyLength));
        if (piece.isEmpty()) { // the file was cut short or could not be read: the client sees
            socket_->abort();  // a broken answer rather than a short one
            deleteLater();
            return;
        }
        reply_.bodyLength -= piece.size();
        socket_->write(piece);
    }
    if (reply_.bodyLength == 0)
        close(); // after what is still buffered has been written
}

void LoopbackFileConnection::close()
{
    if (closing_)
        return;
    closing_ = true;
    reply_.body.reset();
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        deleteLater();
    else
        socket_->disconnectFromHost();
}

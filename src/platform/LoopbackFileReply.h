#pragma once

#include "platform/LoopbackFileAddress.h"

#include <QByteArray>
#include <QIODevice>
#include <functional>
#include <memory>

// The loopback file server's answer to one request, worked out without a socket. Only GET and
// HEAD of a file under its own origin are answered with the file; anything else learns nothing:
// a file that is not served and a label that does not match both answer 404.
struct LoopbackFileReply
{
    // Where the bytes of a path come from; null when the path is not served.
    using Source = std::function<std::unique_ptr<QIODevice>(const QString& path)>;

    // Requests whose head is larger are refused.
    static constexpr qsizetype maxHeadBytes = 16 * 1024;

    // The length of the request head in `received` up to and including its blank line; 0 while
    // it is not complete.
    static qsizetype headLength(const QByteArray& received);

    // The answer to the request whose head is `head`, for the server at `address`.
    static LoopbackFileReply answer(const QByteArray& head, const LoopbackFileAddress& address,
                                    const Source& source);

    int status = 0;
    // The status line and the header fields, with the blank line that ends them.
    QByteArray header;
    // The body's source, positioned at its first byte; null when the answer has no body.
    std::unique_ptr<QIODevice> body;
    // How many bytes of `body` to send.
    qint64 bodyLength = 0;
};

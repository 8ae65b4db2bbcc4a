#pragma once

#include <QString>

class QFileDevice;

// The system's reason for a failed file operation, in Russian: Qt's own translation where it has
// one, else the C library's text in a Russian locale where one is installed, else our own text for
// the common cases, else the number.
QString systemReason(int errorNumber);

// The reason a QFile or QSaveFile operation failed: systemReason(`errorNumber`) when the failing
// call left one, else the device's own message as Qt (translated) words it.
QString fileDeviceReason(const QFileDevice& file, int errorNumber);

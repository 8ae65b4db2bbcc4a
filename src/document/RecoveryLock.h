#pragma once

#include <QString>

// The lock that marks a recovery journal as its process's own: an exclusive flock on the
// journal's lock file, held while the descriptor is open, so that the system lets it go when the
// process ends however it ends. A journal whose lock can be taken belongs to no running program.
class RecoveryLock
{
public:
    RecoveryLock() = default;
    ~RecoveryLock();
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;

    // Creates the lock file when missing and takes the lock. False when another holder has it or
    // the file cannot be made.
    bool acquire(const QString& lockPath);
    bool held() const { return fd_ >= 0; }
    // Deletes the lock file, then lets the lock go.
    void removeAndRelease();
    void release();

private:
    QString path_;
    int fd_ = -1;
};

#include "AnswerStream.h"

#include <QMutexLocker>

#include <algorithm>
#include <cstring>

namespace vidlatch::platform {

AnswerStream::AnswerStream(QObject* parent) : QIODevice(parent)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void AnswerStream::Append(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    {
        const QMutexLocker locked(&lock_);
        if (state_ != State::Coming)
            return;
        parts_.push_back(bytes);
        available_ += bytes.size();
    }
    emit readyRead();
}

void AnswerStream::End()
{
    {
        const QMutexLocker locked(&lock_);
        if (state_ == State::Coming)
            state_ = State::Ended;
    }
    emit readyRead();
}

void AnswerStream::Fail()
{
    {
        const QMutexLocker locked(&lock_);
        if (state_ != State::Coming)
            return;
        state_ = State::Failed;
        parts_.clear();  // what the page has not read of it is of no use
        available_ = 0;
    }
    emit readyRead();
}

bool AnswerStream::atEnd() const
{
    const QMutexLocker locked(&lock_);
    return state_ == State::Ended && available_ == 0;
}

qint64 AnswerStream::bytesAvailable() const
{
    const QMutexLocker locked(&lock_);
    return available_;
}

qint64 AnswerStream::readData(char* data, qint64 maxSize)
{
    const QMutexLocker locked(&lock_);
    if (state_ == State::Failed)
        return -1;
    qint64 read = 0;
    while (read < maxSize && !parts_.empty()) {
        const QByteArray& first = parts_.front();
        const qint64 count = std::min<qint64>(maxSize - read, first.size() - readOfFirst_);
        std::memcpy(data + read, first.constData() + readOfFirst_, static_cast<size_t>(count));
        read += count;
        readOfFirst_ += count;
        if (readOfFirst_ == first.size()) {
            parts_.pop_front();
            readOfFirst_ = 0;
        }
    }
    available_ -= read;
    // Nothing yet is not the end: the engine waits for readyRead. The end
    // is no more to read, at the end (some versions of the engine ask both).
    return read == 0 && state_ == State::Ended ? -1 : read;
}

} // namespace vidlatch::platform

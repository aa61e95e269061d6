#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QMutex>

#include <deque>

namespace vidlatch::platform {

// An answer on its way to the page, passed on as it comes: the program
// appends what the site sent, and the web engine reads it from its own
// thread (hence the lock) and hands it to the page at once. It ends whole
// or failed, never cut short as if it were whole: the engine takes the end
// of what is there for the end of the answer only once End has been said.
class AnswerStream : public QIODevice {
    Q_OBJECT

public:
    explicit AnswerStream(QObject* parent = nullptr);

    void Append(const QByteArray& bytes);
    void End();
    void Fail();

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;
    qint64 size() const override { return 0; }  // not known until it ends

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class State { Coming, Ended, Failed };
    mutable QMutex lock_;
    std::deque<QByteArray> parts_;
    qsizetype readOfFirst_ = 0;  // of parts_.front()
    qint64 available_ = 0;
    State state_ = State::Coming;
};

} // namespace vidlatch::platform

#pragma once
// The internet transfer control: one HTTP GET at a time, awaited by a loop that lets the
// message loop run, with the response read back by header name and in chunks of the body.
//
// A request ends in one of two states: kStateResponseCompleted whenever the server sent a
// status line (whatever its code, and also when the body was cut short after the headers),
// kStateError when no status line came (refused, reset, closed, or nothing transferred for
// the transfer timeout), when the request's deadline passed or when its body file could
// not be written. Redirects are not followed and no proxy is used: the caller judges
// a 3xx status itself and talks to the server directly.
#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QFile;
class QNetworkAccessManager;
class QTimer;
class QNetworkReply;

class InternetTransfer : public QObject {
  public:
    static constexpr int kStateError = 11;
    static constexpr int kStateResponseCompleted = 12;
    // A request that transfers nothing for this long ends as an error.
    static constexpr int kDefaultTransferTimeoutMs = 30000;

    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    void SetURL(const std::string& url) { url_ = url; }
    const std::string& URL() const { return url_; }
    // Starts a GET of URL; an earlier request still running is abandoned.
    void Execute();
    bool StillExecuting() const { return reply_ != nullptr; }
    // Lets the message loop run until the request has ended.
    void WaitUntilDone();

    // The value of one header (names compared without case), "" when absent.
    std::string GetHeader(const std::string& name) const;
    // Every header: the status line first, each line ended by CR LF.
    std::string GetHeader() const;
    // Up to size bytes of the body not read yet; the text form reads the same bytes.
    QByteArray GetChunk(qint64 size);
    std::string GetChunkText(qint64 size);

    // Called with kStateError or kStateResponseCompleted when a request ends.
    std::function<void(int state)> StateChanged;
    void SetTransferTimeout(int ms) { transferTimeoutMs_ = ms; }
    // A request still running this long after it started ends as an error, however
    // steadily its bytes come; 0: no such limit.
    void SetDeadline(int ms) { deadlineMs_ = ms; }
    // Only the first `bytes` bytes of the body are read: the request then ends as completed
    // without waiting for the rest. Negative: the whole body.
    void SetBodyLimit(qint64 bytes) { bodyLimit_ = bytes; }
    // The body goes into this existing file as it arrives instead of into memory (empty:
    // memory); GetChunk then gives nothing. A failed write ends the request as an error.
    void SetBodyFile(const std::string& path) { bodyPath_ = path; }
    // The bytes of the body received, in memory or in the file.
    qint64 BodySize() const { return bodySize_; }

  private:
    // Drops a request still running without reporting its end.
    void Abandon();
    void Finish(QNetworkReply* reply);
    // Moves the bytes that arrived into the body, up to its limit.
    void Take(QNetworkReply* reply);

    QNetworkAccessManager* manager_ = nullptr;
    QNetworkReply* reply_ = nullptr;
    std::string url_;
    std::string statusLine_;
    QList<std::pair<QByteArray, QByteArray>> headers_;
    QByteArray body_;
    qint64 read_ = 0;
    int transferTimeoutMs_ = kDefaultTransferTimeoutMs;
    int deadlineMs_ = 0;
    qint64 bodyLimit_ = -1;
    std::string bodyPath_;
    std::unique_ptr<QFile> bodyFile_;
    qint64 bodySize_ = 0;
    bool failed_ = false;  // the deadline passed or the body file could not be written
    QTimer* deadline_ = nullptr;
};

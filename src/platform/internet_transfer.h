#pragma once
// The internet transfer control: one HTTP GET at a time, awaited by a loop that lets the
// message loop run, with the response read back by header name and in chunks of the body.
//
// A request ends in one of two states: kStateResponseCompleted whenever the server sent a
// status line (whatever its code, and also when the body was cut short after the headers),
// kStateError when no status line came (refused, reset, closed, or nothing transferred for
// the transfer timeout). Redirects are not followed and no proxy is used: the caller judges
// a 3xx status itself and talks to the server directly.
#include <QByteArray>
#include <QObject>
#include <functional>
#include <string>

class QNetworkAccessManager;
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

  private:
    // Drops a request still running without reporting its end.
    void Abandon();
    void Finish(QNetworkReply* reply);

    QNetworkAccessManager* manager_ = nullptr;
    QNetworkReply* reply_ = nullptr;
    std::string url_;
    std::string statusLine_;
    QList<std::pair<QByteArray, QByteArray>> headers_;
    QByteArray body_;
    qint64 read_ = 0;
    int transferTimeoutMs_ = kDefaultTransferTimeoutMs;
};

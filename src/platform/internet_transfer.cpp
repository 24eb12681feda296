#include "platform/internet_transfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)), deadline_(new QTimer(this)) {
    manager_->setProxy(QNetworkProxy::NoProxy);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] {
        if (!reply_) return;
        failed_ = true;
        reply_->abort();
    });
}

InternetTransfer::~InternetTransfer() {
    Abandon();
}

void InternetTransfer::Abandon() {
    deadline_->stop();
    bodyFile_.reset();
    if (!reply_) return;
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

void InternetTransfer::Execute() {
    Abandon();
    statusLine_.clear();
    headers_.clear();
    body_.clear();
    read_ = 0;
    bodySize_ = 0;
    failed_ = false;
    if (!bodyPath_.empty()) {
        bodyFile_ = std::make_unique<QFile>(QString::fromStdString(bodyPath_));
        failed_ = !bodyFile_->open(QIODevice::WriteOnly | QIODevice::Truncate);
    }

    QNetworkRequest request(QUrl(QString::fromStdString(url_), QUrl::StrictMode));
    // The length check of a download compares Content-Length with the bytes received, so
    // the body must come as the server stored it.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMs_);
    QNetworkReply* reply = manager_->get(request);
    reply_ = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { Take(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { Finish(reply); });
    if (deadlineMs_ > 0) deadline_->start(deadlineMs_);
    if (failed_) reply->abort();
}

void InternetTransfer::Take(QNetworkReply* reply) {
    if (reply != reply_ || failed_) return;
    QByteArray bytes = reply->readAll();
    if (bytes.isEmpty()) return;
    const bool limited = bodyLimit_ >= 0 && bodySize_ + bytes.size() >= bodyLimit_;
    if (limited) bytes.truncate(bodyLimit_ - bodySize_);
    if (bodyFile_) {
        failed_ = bodyFile_->write(bytes) != bytes.size();
    } else {
        body_.append(bytes);
    }
    bodySize_ += bytes.size();
    // The rest is never used: the request ends here rather than wait for it.
    if (failed_ || limited) reply->abort();
}

void InternetTransfer::Finish(QNetworkReply* reply) {
    if (reply != reply_) return;
    deadline_->stop();
    Take(reply);
    if (bodyFile_ && !bodyFile_->flush()) failed_ = true;
    bodyFile_.reset();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool answered = status.isValid() && !failed_;
    if (answered) {
        const QByteArray reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
        statusLine_ = "HTTP/1.1 " + std::to_string(status.toInt());
        if (!reason.isEmpty()) statusLine_ += " " + reason.toStdString();
        headers_ = reply->rawHeaderPairs();
    }
    reply_ = nullptr;
    reply->deleteLater();
    if (StateChanged) StateChanged(answered ? kStateResponseCompleted : kStateError);
}

void InternetTransfer::WaitUntilDone() {
    while (StillExecuting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::string InternetTransfer::GetHeader(const std::string& name) const {
    const QByteArray wanted = QByteArray::fromStdString(name).toLower();
    for (const auto& [key, value] : headers_) {
        if (key.toLower() == wanted) return value.toStdString();
    }
    return {};
}

std::string InternetTransfer::GetHeader() const {
    if (statusLine_.empty()) return {};
    std::string all = statusLine_ + "\r\n";
    for (const auto& [key, value] : headers_) {
        all += key.toStdString() + ": " + value.toStdString() + "\r\n";
    }
    return all;
}

QByteArray InternetTransfer::GetChunk(qint64 size) {
    if (size <= 0 || read_ >= body_.size()) return {};
    const QByteArray chunk = body_.mid(read_, size);
    read_ += chunk.size();
    return chunk;
}

std::string InternetTransfer::GetChunkText(qint64 size) {
    return GetChunk(size).toStdString();
}

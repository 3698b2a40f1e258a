#include "net/ServiceRequest.h"

#include "net/ServiceUrls.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<QUrl> ServiceRequest::url() const
{
    QUrl url = ServiceUrls::endpoint(base, path);
    QByteArray encoded;
    for (const auto &[name, value] : query) {
        if (!encoded.isEmpty())
            encoded += '&';
        encoded += encodeQueryValue(name) + '=' + encodeQueryValue(value);
    }
    if (!encoded.isEmpty())
        url.setQuery(QString::fromLatin1(encoded), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QCoro::Task<ServiceRequest::Answer> ServiceRequest::send(HttpClient &http, ServiceRequest request,
                                                         Cancellation *cancellation)
{
    Answer answer;
    const std::optional<QUrl> url = request.url();
    if (!url) {
        answer.response.failure = HttpResponse::Failure::transport;
        co_return answer;
    }
    HttpClient::Options options;
    options.timeout = request.timeout;
    options.sendUserAgent = request.sendUserAgent;
    options.cancellation = cancellation;
    options.sameHostRedirects = true;
    answer.response = co_await http.get(*url, options);
    if (answer.response.failed())
        co_return answer;
    // Services answer their errors in JSON too; the callers read them.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(answer.response.body, &error);
    if (error.error == QJsonParseError::NoError) {
        if (document.isObject())
            answer.json = QJsonValue(document.object());
        else if (document.isArray())
            answer.json = QJsonValue(document.array());
    }
    co_return answer;
}

QByteArray ServiceRequest::encodeQueryValue(const QString &value)
{
    // Delimiters of the query ("&", "=", "+", "#") and "%" are always encoded.
    return QUrl::toPercentEncoding(value, QByteArrayLiteral("!$'()*,/:;?@"));
}

std::optional<QString> ServiceRequest::pathSegment(const QString &text)
{
    // An encoded dot is still a dot to QUrl and to servers, so these cannot be escaped away.
    if (text.isEmpty() || text == QLatin1String(".") || text == QLatin1String(".."))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return std::nullopt;
    }
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArrayLiteral("!$&'()*+,:;=@")));
}

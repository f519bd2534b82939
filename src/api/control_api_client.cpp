#include "control_api_client.h"

#include "control_api_endpoint.h"
#include "control_api_settings.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

QString ControlApiClient::Response::message() const
{
    const QString answer = body.value(QStringLiteral("error")).toString();
    if (!answer.isEmpty())
        return answer;
    return error.isEmpty() ? QStringLiteral("HTTP status %1").arg(status) : error;
}

ControlApiClient::ControlApiClient(const QString &host, quint16 port, const QString &token)
    : m_host(host), m_port(port), m_token(token)
{
}

std::optional<ControlApiClient> ControlApiClient::discover()
{
    // The token goes only to the GUI that announced itself, never to whatever
    // listens on an address a file names or on the default port.
    const std::optional<ControlApiEndpoint::Address> announced = ControlApiEndpoint::readTrusted();
    if (!announced)
        return std::nullopt;
    ControlApiClient client(announced->host, announced->port, ControlApiSettings::load().token);
    const Response r = client.request("GET", QString(), QByteArray(), kProbeTimeoutMs);
    if (r.status == 200 && r.body.value(QStringLiteral("service")).toString() == QLatin1String("kestrane"))
        return client;
    return std::nullopt;
}

QString ControlApiClient::segment(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

ControlApiClient::Response ControlApiClient::get(const QString &path, int timeoutMs) const
{
    return request("GET", path, QByteArray(), timeoutMs);
}

ControlApiClient::Response ControlApiClient::post(const QString &path, const QJsonObject &body) const
{
    return request("POST", path, QJsonDocument(body).toJson(QJsonDocument::Compact), kRequestTimeoutMs);
}

ControlApiClient::Response ControlApiClient::request(const QByteArray &verb, const QString &path, const QByteArray &body,
                                                     int timeoutMs) const
{
    const QHostAddress address(m_host);
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + m_host + "]" : m_host;
    QNetworkRequest request(QUrl(QStringLiteral("http://%1:%2/api/v1%3").arg(host).arg(m_port).arg(path)));
    request.setTransferTimeout(timeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    if (!m_token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_token.toUtf8());

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply *reply = manager.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    Response response;
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QJsonDocument doc = QJsonDocument::fromJson(reply->readAll());
    response.body = doc.object();
    if (response.status == 0)
        response.error = reply->errorString();
    else if (!doc.isObject())
        response.error = QStringLiteral("the answer is not a JSON object");
    delete reply;
    return response;
}

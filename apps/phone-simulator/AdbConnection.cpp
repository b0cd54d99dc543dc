#include "AdbConnection.h"

#include "AdbPhone.h"
#include "InstallStream.h"
#include "PhoneSimulator.h"
#include "ShellStream.h"
#include "SyncStream.h"

#include <QRandomGenerator>
#include <QTcpSocket>

#include <algorithm>

namespace
{
// Beyond this much unsent data in the socket no new write is started.
const qint64 kSocketBacklog = 4 * 1024 * 1024;
// The largest message accepted from the server before CNXN has set the size.
const uint32_t kMaxHandshakePayload = 64 * 1024;
// Timers count whole milliseconds: bytes due within half of one go now, so
// that the average delay is the latency asked for.
const qint64 kDelaySlackNs = 500 * 1000;
} // namespace

AdbConnection::AdbConnection(QTcpSocket *pSocket, PhoneSimulator *pSimulator)
    : QObject(pSimulator)
    , m_pSocket(pSocket)
    , m_pSimulator(pSimulator)
    , m_delayIn(pSimulator->LatencyNs())
    , m_delayOut(pSimulator->LatencyNs())
{
    m_pSocket->setParent(this);
    m_pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_timerPace.setSingleShot(true);
    m_timerPace.setTimerType(Qt::PreciseTimer);
    connect(&m_timerPace, &QTimer::timeout, this, &AdbConnection::Pump);
    m_timerDelay.setSingleShot(true);
    m_timerDelay.setTimerType(Qt::PreciseTimer);
    connect(&m_timerDelay, &QTimer::timeout, this, &AdbConnection::OnDelayElapsed);
    connect(m_pSocket, &QTcpSocket::readyRead, this, &AdbConnection::OnReadyRead);
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, &AdbConnection::Pump);
    connect(m_pSocket, &QTcpSocket::disconnected, this, [this]() { emit Closed(this); });
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            m_pSimulator->Log(QStringLiteral("connection error: %1").arg(m_pSocket->errorString()));
    });
}

AdbConnection::~AdbConnection() = default;

void AdbConnection::OnReadyRead()
{
    const QByteArray baData = m_pSocket->readAll();
    if (m_delayIn.IsDelayed()) {
        m_delayIn.Push(baData, m_pSimulator->NowNs());
        ScheduleDelay();
        return;
    }
    ProcessIncoming(baData);
}

void AdbConnection::OnDelayElapsed()
{
    const qint64 nNowNs = m_pSimulator->NowNs() + kDelaySlackNs;
    const QByteArray baOut = m_delayOut.TakeDue(nNowNs);
    if (!baOut.isEmpty() && m_pSocket->state() == QAbstractSocket::ConnectedState) {
        m_pSocket->write(baOut);
        m_pSocket->flush();
    }
    const QByteArray baIn = m_delayIn.TakeDue(nNowNs);
    if (!baIn.isEmpty())
        ProcessIncoming(baIn);
    ScheduleDelay();
}

void AdbConnection::ScheduleDelay()
{
    qint64 nDueNs = m_delayIn.NextDueNs();
    const qint64 nOutDueNs = m_delayOut.NextDueNs();
    if (nDueNs < 0 || (nOutDueNs >= 0 && nOutDueNs < nDueNs))
        nDueNs = nOutDueNs;
    if (nDueNs < 0 || m_bUnplugging) {
        m_timerDelay.stop();
        return;
    }
    const qint64 nWaitNs = qMax<qint64>(0, nDueNs - m_pSimulator->NowNs());
    m_timerDelay.start(int((nWaitNs + kDelaySlackNs) / 1000000));
}

void AdbConnection::WriteToSocket(const QByteArray &baData)
{
    if (!m_delayOut.IsDelayed()) {
        m_pSocket->write(baData);
        return;
    }
    m_delayOut.Push(baData, m_pSimulator->NowNs());
    if (!m_timerDelay.isActive())
        ScheduleDelay();
}

void AdbConnection::ProcessIncoming(const QByteArray &baData)
{
    m_baIn.append(baData);
    qsizetype nPos = 0;
    const uint32_t nLimit = m_bOnline ? uint32_t(m_nMaxPayload) : kMaxHandshakePayload;
    while (!m_bUnplugging && m_baIn.size() - nPos >= AdbMessage::kHeaderSize) {
        AdbMessage message;
        if (!message.ParseHeader(m_baIn.constData() + nPos) || message.nLength > qMax(nLimit, kMaxHandshakePayload)) {
            m_pSimulator->Log(QStringLiteral("malformed message from the server; closing the connection"));
            Abort();
            return;
        }
        if (m_baIn.size() - nPos < AdbMessage::kHeaderSize + qsizetype(message.nLength))
            break;
        const QByteArray baPayload = m_baIn.mid(nPos + AdbMessage::kHeaderSize, message.nLength);
        nPos += AdbMessage::kHeaderSize + message.nLength;
        HandleMessage(message, baPayload);
    }
    m_baIn.remove(0, nPos);
    Pump();
}

void AdbConnection::HandleMessage(const AdbMessage &message, const QByteArray &baPayload)
{
    if (m_pSimulator->Options().bVerbose)
        m_pSimulator->Log(QStringLiteral("<- %1 %2 %3 (%4 bytes)").arg(QString::fromLatin1(AdbMessage::Name(message.nCommand)))
                              .arg(message.nArg0).arg(message.nArg1).arg(baPayload.size()));
    switch (message.nCommand) {
    case AdbMessage::Cnxn:
        HandleConnect(message);
        return;
    case AdbMessage::Auth:
        // Every signature is refused with a new token; an offered key is never accepted.
        if (message.nArg0 == AdbMessage::AuthSignature)
            SendAuthToken();
        return;
    default:
        break;
    }
    if (!m_bOnline)
        return;
    switch (message.nCommand) {
    case AdbMessage::Open:
        HandleOpen(message, baPayload);
        break;
    case AdbMessage::Okay: {
        const auto it = m_mapStreams.find(message.nArg1);
        if (it != m_mapStreams.end())
            it->second->SetAwaitingOkay(false);
        break;
    }
    case AdbMessage::Wrte: {
        const auto it = m_mapStreams.find(message.nArg1);
        if (it == m_mapStreams.end()) {
            Send(AdbMessage::Clse, 0, message.nArg0);
            break;
        }
        if (m_pSimulator->Limiter().IsLimited())
            m_listAcks.push_back({message.nArg1, message.nArg0, AdbMessage::kHeaderSize + baPayload.size()});
        else
            Send(AdbMessage::Okay, message.nArg1, message.nArg0);
        it->second->Receive(baPayload);
        break;
    }
    case AdbMessage::Clse:
        // The server closed (or cancelled) the stream: whatever it was doing stops here.
        CloseStream(message.nArg1, false);
        break;
    default:
        break;
    }
}

void AdbConnection::HandleConnect(const AdbMessage &message)
{
    // A new CNXN starts the connection afresh.
    m_mapStreams.clear();
    m_listAcks.clear();
    AdbPhone phone;
    if (!m_pSimulator->LoadPhone(&phone)) {
        m_pSimulator->Log(QStringLiteral("no readable phone.ini in %1; closing the connection").arg(m_pSimulator->Options().strPhoneDir));
        Abort();
        return;
    }
    const uint32_t nVersion = qMin(message.nArg0, AdbMessage::kVersionSkipChecksum);
    m_bChecksums = nVersion < AdbMessage::kVersionSkipChecksum;
    const qint64 nAgreed = qMin<qint64>(qint64(message.nArg1), m_pSimulator->Options().nMaxData);
    m_nMaxPayload = qsizetype(std::clamp<qint64>(nAgreed, 256, 256 * 1024 * 1024));
    m_nVersion = nVersion;
    if (phone.IsUnauthorized()) {
        m_bOnline = false;
        m_bAwaitingAllow = true;
        SendAuthToken();
        return;
    }
    SendBanner(phone);
}

void AdbConnection::Allow()
{
    // The user tapped Allow: the phone answers the connection it kept waiting.
    AdbPhone phone;
    if (!m_bAwaitingAllow || !m_pSimulator->LoadPhone(&phone))
        return;
    SendBanner(phone);
}

void AdbConnection::SendBanner(const AdbPhone &phone)
{
    const uint32_t nVersion = m_nVersion;
    m_bAwaitingAllow = false;
    m_bOnline = true;
    const QString strFeatures = phone.Features();
    const QByteArray baBanner = QStringLiteral("device::ro.product.name=%1;ro.product.model=%2;ro.product.device=%3;features=%4")
                                    .arg(phone.Property(QStringLiteral("ro.product.name")), phone.Property(QStringLiteral("ro.product.model")),
                                         phone.Property(QStringLiteral("ro.product.device")), strFeatures)
                                    .toUtf8();
    Send(AdbMessage::Cnxn, nVersion, uint32_t(m_pSimulator->Options().nMaxData), baBanner.constData(), baBanner.size());
    m_pSimulator->Log(QStringLiteral("server connected: version %1, max payload %2").arg(nVersion, 0, 16).arg(m_nMaxPayload));
}

void AdbConnection::SendAuthToken()
{
    char acToken[20];
    for (char &c : acToken)
        c = char(QRandomGenerator::global()->bounded(256));
    Send(AdbMessage::Auth, AdbMessage::AuthToken, 0, acToken, sizeof acToken);
}

void AdbConnection::HandleOpen(const AdbMessage &message, const QByteArray &baPayload)
{
    QByteArray baService = baPayload;
    while (baService.endsWith('\0'))
        baService.chop(1);
    AdbPhone phone;
    const uint32_t nLocalId = m_nNextLocalId++;
    std::unique_ptr<AdbStream> pStream;
    ShellStream::Mode mode;
    QString strCommand;
    bool bPty = false;
    InstallStream::Request install;
    const QString strService = QString::fromUtf8(baService);
    const SimulatorOptions &options = m_pSimulator->Options();
    if (!options.strStallOn.isEmpty() && strService.contains(options.strStallOn))
        m_pSimulator->Stall();
    if (!options.strUnplugOn.isEmpty() && strService.contains(options.strUnplugOn)) {
        m_pSimulator->Log(QStringLiteral("unplugging on %1").arg(strService));
        QMetaObject::invokeMethod(m_pSimulator, &PhoneSimulator::Unplug, Qt::QueuedConnection);
        m_bUnplugging = true;
        return;
    }
    if (m_pSimulator->IsStalled()) {
        // A phone that stopped answering leaves the server waiting.
        m_pSimulator->Log(QStringLiteral("open %1: no answer (stalled)").arg(strService));
        m_pSimulator->Withheld();
        return;
    }
    if (!m_pSimulator->LoadPhone(&phone)) {
        m_pSimulator->Log(QStringLiteral("phone.ini unreadable; refusing %1").arg(QString::fromUtf8(baService)));
    } else if (baService == "sync:") {
        pStream = std::make_unique<SyncStream>(this, nLocalId, message.nArg0, phone);
    } else if (InstallStream::ParseService(baService, phone, &install)) {
        pStream = std::make_unique<InstallStream>(this, nLocalId, message.nArg0, phone, install);
    } else if (ShellStream::ParseService(baService, &mode, &strCommand, &bPty)
               && !(mode == ShellStream::ShellV2 && phone.HasOldShell())) {
        pStream = std::make_unique<ShellStream>(this, nLocalId, message.nArg0, phone, mode, strCommand, bPty);
    }
    m_pSimulator->Log(QStringLiteral("open %1: %2").arg(QString::fromUtf8(baService), pStream ? QStringLiteral("ok") : QStringLiteral("refused")));
    if (!pStream) {
        Send(AdbMessage::Clse, 0, message.nArg0);
        return;
    }
    Send(AdbMessage::Okay, nLocalId, message.nArg0);
    m_mapStreams.emplace(nLocalId, std::move(pStream));
}

void AdbConnection::Send(uint32_t nCommand, uint32_t nArg0, uint32_t nArg1, const char *pPayload, qsizetype nLength)
{
    QByteArray baMessage = AdbMessage::Header(nCommand, nArg0, nArg1, pPayload, uint32_t(nLength), m_bChecksums);
    if (nLength > 0)
        baMessage.append(pPayload, nLength);
    WriteToSocket(baMessage);
}

void AdbConnection::CloseStream(uint32_t nLocalId, bool bTellServer)
{
    const auto it = m_mapStreams.find(nLocalId);
    if (it == m_mapStreams.end())
        return;
    if (bTellServer)
        Send(AdbMessage::Clse, nLocalId, it->second->RemoteId());
    m_mapStreams.erase(it);
}

void AdbConnection::Pump()
{
    SendQueued();
    // Hand what was queued to the kernel now rather than on the next turn of the event loop.
    if (m_pSocket->state() == QAbstractSocket::ConnectedState && m_pSocket->bytesToWrite() > 0)
        m_pSocket->flush();
}

void AdbConnection::SendQueued()
{
    if (!m_bOnline || m_bUnplugging || m_pSocket->state() != QAbstractSocket::ConnectedState)
        return;
    // On a busy paced link the server's writes and the phone's take turns.
    if (m_bAcksFirst) {
        SendAcknowledgements();
        m_bAcksFirst = false;
        if (!m_listAcks.empty())
            return; // the pace timer brings us back
    }
    SendWrites();
    if (!m_bUnplugging)
        SendAcknowledgements();
}

void AdbConnection::SendWrites()
{
    LinkRateLimiter &limiter = m_pSimulator->Limiter();
    const qsizetype nChunk = limiter.SmoothChunk(m_nMaxPayload);
    // Round robin: the streams after the one served last go first, so a
    // long copy on a paced link does not starve the others.
    std::vector<uint32_t> listIds;
    listIds.reserve(m_mapStreams.size());
    for (auto it = m_mapStreams.upper_bound(m_nLastServed); it != m_mapStreams.end(); ++it)
        listIds.push_back(it->first);
    for (auto it = m_mapStreams.begin(); it != m_mapStreams.end() && it->first <= m_nLastServed; ++it)
        listIds.push_back(it->first);
    for (uint32_t nId : listIds) {
        if (m_pSocket->bytesToWrite() + m_delayOut.Bytes() > kSocketBacklog)
            return; // bytesWritten brings us back
        const auto it = m_mapStreams.find(nId);
        if (it == m_mapStreams.end())
            continue;
        AdbStream *pStream = it->second.get();
        if (pStream->IsAwaitingOkay())
            continue;
        if (pStream->Pending() < nChunk)
            pStream->Produce(nChunk);
        if (pStream->Pending() == 0) {
            if (pStream->IsFinished())
                CloseStream(nId, true);
            continue;
        }
        if (limiter.IsLimited()) {
            const qint64 nWaitNs = limiter.WaitNs(m_pSimulator->NowNs());
            if (nWaitNs > 0) {
                if (!m_timerPace.isActive())
                    m_timerPace.start(int((nWaitNs + 999999) / 1000000));
                return;
            }
        }
        const qsizetype nBytes = qMin(pStream->Pending(), nChunk);
        Send(AdbMessage::Wrte, nId, pStream->RemoteId(), pStream->PendingData(), nBytes);
        limiter.Take(AdbMessage::kHeaderSize + nBytes, m_pSimulator->NowNs());
        pStream->Consume(nBytes);
        pStream->SetAwaitingOkay(true);
        m_nLastServed = nId;
        m_bAcksFirst = true;
        const SyncStream *pSync = dynamic_cast<const SyncStream *>(pStream);
        if (pSync && pSync->UnplugsWhenSent() && pStream->Pending() == 0) {
            m_pSimulator->Log(QStringLiteral("unplugging after the configured number of files"));
            QMetaObject::invokeMethod(m_pSimulator, &PhoneSimulator::Unplug, Qt::QueuedConnection);
            m_bUnplugging = true;
            return;
        }
    }
}

void AdbConnection::SendAcknowledgements()
{
    LinkRateLimiter &limiter = m_pSimulator->Limiter();
    while (!m_listAcks.empty()) {
        const qint64 nWaitNs = limiter.WaitNs(m_pSimulator->NowNs());
        if (nWaitNs > 0) {
            if (!m_timerPace.isActive())
                m_timerPace.start(int((nWaitNs + 999999) / 1000000));
            return;
        }
        const Acknowledgement ack = m_listAcks.front();
        m_listAcks.pop_front();
        limiter.Take(ack.nBytes, m_pSimulator->NowNs());
        // A stream closed meanwhile takes no acknowledgement.
        if (m_mapStreams.count(ack.nLocalId))
            Send(AdbMessage::Okay, ack.nLocalId, ack.nRemoteId);
    }
}

bool AdbConnection::FileSent()
{
    return m_pSimulator->FileSent();
}

bool AdbConnection::WithholdsRequests()
{
    if (!m_pSimulator->IsStalled())
        return false;
    m_pSimulator->Withheld();
    return true;
}

void AdbConnection::Unplug()
{
    m_bUnplugging = true;
    m_timerPace.stop();
    m_timerDelay.stop();
    // What is on its way still arrives; the cable goes after it.
    if (m_pSocket->state() == QAbstractSocket::ConnectedState)
        m_pSocket->write(m_delayOut.TakeAll());
    m_pSocket->disconnectFromHost();
}

void AdbConnection::Abort()
{
    m_bUnplugging = true;
    m_timerPace.stop();
    m_timerDelay.stop();
    m_delayOut.TakeAll();
    m_delayIn.TakeAll();
    m_pSocket->abort();
    emit Closed(this);
}

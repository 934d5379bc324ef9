// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One running program per user and device root. The first start listens on a local
// socket; a later start finds it, hands over the file it was asked to open (if any),
// asks it to come forward and ends. The socket's name
// includes the device root in use, so programs on different VELLUMDECK_ROOTs (parallel
// tests) never see each other.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject
{
public:
    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr char kActivateRequest[] = "activate\n";
    // Followed by the command line, UTF-8 and percent-encoded, and a newline.
    static constexpr char kOpenRequest[] = "open ";
    // A request line longer than this is not ours: the connection is dropped.
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for this user and the device root in use.
    static QString ServerName();

    // True when a running program answered; it has been asked to come forward.
    bool ActivateRunning();
    // The same, first handing over a command line for the running program to open.
    bool ActivateRunning(const QString& commandLine);
    // Becomes the program later starts find; onActivate runs on this thread for every
    // request, from the event loop once the request has been read. A socket left behind
    // by a program that crashed is replaced. False when the socket cannot be made.
    bool Listen(std::function<void()> onActivate);
    bool IsListening() const;
    // Runs on this thread for every command line handed over, before its activation.
    void SetOpenHandler(std::function<void(const QString& commandLine)> onOpen);

private:
    void OnNewConnection();
    void ReadRequests(QLocalSocket* socket);

    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onActivate;
    std::function<void(const QString&)> m_onOpen;
};

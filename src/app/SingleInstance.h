// One frame per store: the first frame started on a message store listens on a local socket
// named after that store; a later start on the same store asks it to come forward and ends,
// instead of opening a second window on the same messages.
#pragma once

#include <QLoggingCategory>
#include <QObject>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcInstance)

class QLocalServer;

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum Outcome {
        Primary,     // this process is the frame for the store and listens for later starts
        Forwarded,   // another frame runs on the store and was asked to come forward
        Unguarded    // the socket could not be set up; this frame runs without the guard
    };

    // `storeKey` names the store the frame works on (its data folder or database file).
    explicit SingleInstance(const QString& storeKey, QObject* parent = nullptr);

    // Hands the start over to a running frame or becomes the one that listens. A socket left by
    // a frame that crashed is taken over.
    Outcome Claim(int timeoutMs = 3000);
    QString ServerName() const { return m_name; }

    // The socket for `storeKey` in the user's runtime folder.
    static QString ServerNameFor(const QString& storeKey);

signals:
    // A later start asked this frame to come forward.
    void raiseRequested();

private:
    bool forward(int timeoutMs);
    bool listen();
    void serve();

    QString m_name;
    QLocalServer* m_pServer = nullptr;
};

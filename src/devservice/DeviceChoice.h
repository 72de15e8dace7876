// Which device the service talks to: the simulated modem or a real modem through ModemManager.
// Used by the frame (--device) and by the tests; the plug-in never calls it.
#pragma once

#include <QString>
#include <functional>

namespace ZsdkDevice {

// "sim", "modemmanager" or "auto" (ModemManager when it has a modem with messaging, else the
// simulated modem). Takes effect at the next start of the service, like ZsdkSim::Configure.
// Without a call the environment variable ZSDK_DEVICE decides, and without it "sim".
// False for an unknown name (the choice stays as it was).
bool Choose(const QString& name);
QString Chosen();

struct ModemOptions {
    QString databasePath;   // empty: $ZSDK_MODEM_DATABASE, else <app data>/zsdk-modem.sqlite
    int timeoutMs = 5000;   // the longest a caller waits for ModemManager
    bool saveToPc = true;   // received messages go to the PC inbox (else they stay on the card)
};
void ConfigureModem(const ModemOptions& options);

// What the running service talks to, for the status bar: "Simulated modem" or the modem's
// model. Starts the service if it is not running (with "auto" this waits at most the timeout
// for ModemManager to answer).
QString InUse();
// Why the chosen device is not (fully) in use, for the status bar; empty when all is well.
QString Problem();
// Receives short lines about device problems as they happen (on the service's event thread).
void SetNoteHandler(std::function<void(const QString&)> handler);

} // namespace ZsdkDevice

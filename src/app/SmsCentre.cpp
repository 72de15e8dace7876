#include "SmsCentre.h"

#include "CommonUtils.h"
#include "zsdk.h"

namespace {

const QString kGroup = QStringLiteral("SMSCNumber");
// The IMSI the frame recorded in a slot, in the frame's own group: an entry whose IMSI value is
// not this one came from the operator.
const QString kFrameGroup = QStringLiteral("XFrame");

QString key(const char* name, int slot) { return QLatin1String(name) + QString::number(slot); }

bool recordedByFrame(int slot, const QString& imsiValue)
{
    return CommonUtils::GetSettings(kFrameGroup, key("SMSCNumberRecorded_", slot)) == imsiValue;
}

} // namespace

namespace SmsCentre {

QString DeviceImsi()
{
    ZSDK_WCHAR buffer[32] = {};
    if (ZSDK_DevSrv_GetIMSI(buffer, 32) != ZSDK_OK)
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer)).trimmed();
}

QString DeviceCentre()
{
    ZSDK_WCHAR buffer[100] = {};
    int32_t type = 0;
    if (ZSDK_SMSSrv_GetSMSCentreNumber(&type, buffer, 100) != ZSDK_OK)
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer)).trimmed();
}

int PinCurrentSim()
{
    const QString imsi = DeviceImsi();
    if (imsi.isEmpty())
        return 0;
    const QString centre = DeviceCentre();
    // The page looks at slot 1 first, then slot 2; the first whose IMSI value begins the SIM's
    // IMSI answers (an empty value begins every IMSI).
    for (int slot = 1; slot <= 2; ++slot) {
        const QString pinned = CommonUtils::GetSettings(kGroup, key("IMSI_", slot));
        if (!imsi.startsWith(pinned))
            continue;
        if (!pinned.isEmpty()) {
            if (!recordedByFrame(slot, pinned))
                return 0;   // the operator's entry
            // The user may have changed the centre in the settings since: follow the device.
            if (!centre.isEmpty() && CommonUtils::GetSettings(kGroup, key("SMSCNumber_", slot)) != centre)
                CommonUtils::SetSettings(kGroup, key("SMSCNumber_", slot), centre);
            return slot;
        }
        // A free slot: first sight of this SIM.
        if (centre.isEmpty())
            return 0;
        CommonUtils::SetSettings(kGroup, key("SMSCNumber_", slot), centre);
        CommonUtils::SetSettings(kGroup, key("IMSI_", slot), imsi);
        CommonUtils::SetSettings(kFrameGroup, key("SMSCNumberRecorded_", slot), imsi);
        return slot;
    }
    return 0;
}

} // namespace SmsCentre

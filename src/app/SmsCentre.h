// The frame's side of per-SIM SMS centre numbers. The SMS page takes its centre number from the
// host group "SMSCNumber" (IMSI_1/SMSCNumber_1, IMSI_2/SMSCNumber_2) when the SIM's IMSI begins
// with one of the IMSI values; an empty IMSI value matches every SIM. Without a recorded entry a
// new user would face an empty centre field that has to be filled before OK is accepted, although
// the modem already knows the number. So the frame records a SIM it sees for the first time with
// the device's centre number, and keeps the entries it recorded itself up to date with the device.
// Entries an operator provisioned are never touched.
#pragma once

#include <QString>

namespace SmsCentre {

// The IMSI of the SIM in the device; empty without a readable SIM.
QString DeviceImsi();
// The centre number the device holds; empty when it cannot be read.
QString DeviceCentre();

// Records or refreshes the entry for the SIM in the device. Returns the slot (1 or 2) that now
// answers for that SIM from the frame's own record, 0 when nothing was recorded: no SIM or no
// centre readable, an operator's entry answers, or both slots belong to other cards.
int PinCurrentSim();

} // namespace SmsCentre

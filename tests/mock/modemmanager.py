'''A stand-in for ModemManager (org.freedesktop.ModemManager1) on a private bus, for the
device service's tests. Load with python-dbusmock:

    /usr/bin/python3 -m dbusmock --system --template tests/mock/modemmanager.py -p '{"modem": true}'

It publishes what ModemManager 1.20 publishes for one modem with a SIM: the object manager, the
modem (Modem, Modem.Messaging, Modem.Modem3gpp), the SIM and the SMS objects, and it keeps
ModemManager's quirks that a client has to live with: an SMS has a "Class" property and no
"SmsClass", a sent SMS gets its MessageReference after its State turned to sent, and a
multipart message is announced while it is still being received.

The test drives it through the interface org.freedesktop.ModemManager1.TestControl on the main
object: add or remove the modem, add messages, change SMS or modem properties, make sends fail,
hang or unplug the modem.
'''

import time

import dbus
import dbus.service

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.ModemManager1'
MAIN_OBJ = '/org/freedesktop/ModemManager1'
MAIN_IFACE = 'org.freedesktop.ModemManager1'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

CONTROL_IFACE = 'org.freedesktop.ModemManager1.TestControl'
MODEM_IFACE = 'org.freedesktop.ModemManager1.Modem'
MESSAGING_IFACE = 'org.freedesktop.ModemManager1.Modem.Messaging'
GPP_IFACE = 'org.freedesktop.ModemManager1.Modem.Modem3gpp'
SIM_IFACE = 'org.freedesktop.ModemManager1.Sim'
SMS_IFACE = 'org.freedesktop.ModemManager1.Sms'
MODEM_PATH = MAIN_OBJ + '/Modem/0'
SIM_PATH = MAIN_OBJ + '/SIM/0'

SMS_STATE_STORED, SMS_STATE_RECEIVING, SMS_STATE_RECEIVED, SMS_STATE_SENDING, SMS_STATE_SENT = 1, 2, 3, 4, 5
STORAGE_UNKNOWN = 0


def load(mock, parameters):
    mock.AddMethods(MAIN_IFACE, [('ScanDevices', '', '', ''), ('SetLogging', 's', '', '')])
    mock.AddProperty(MAIN_IFACE, 'Version', dbus.String('1.20.4'))
    mock.sms_serial = 0
    mock.reference = 40
    mock.fail_sends = 0
    mock.hang_ms = 0
    mock.remove_after_sends = -1
    mock.deny = False
    mock.delete_error = ''
    mock.last_create = {}
    if parameters.get('modem', True):
        add_modem(mock, parameters)


def variant_map(props):
    return dbus.Dictionary(props, signature='sv')


def add_modem(mock, p):
    objects = mockobject.objects
    has_sim = p.get('sim', True)
    if has_sim:
        mock.AddObject(SIM_PATH, SIM_IFACE, {
            'Active': dbus.Boolean(True),
            'SimIdentifier': dbus.String('89490200001234567890'),
            'Imsi': dbus.String(p.get('imsi', '262019876543210')),
            'OperatorIdentifier': dbus.String('26201'),
            'OperatorName': dbus.String('Mock Telecom'),
            'EmergencyNumbers': dbus.Array([], signature='s'),
        }, [])
    mock.AddObject(MODEM_PATH, MODEM_IFACE, {
        'Sim': dbus.ObjectPath(SIM_PATH if has_sim else '/'),
        'SimSlots': dbus.Array([], signature='o'),
        'PrimarySimSlot': dbus.UInt32(0),
        'Bearers': dbus.Array([], signature='o'),
        'SupportedCapabilities': dbus.Array([dbus.UInt32(4)], signature='u'),
        'CurrentCapabilities': dbus.UInt32(4),
        'MaxBearers': dbus.UInt32(1),
        'MaxActiveBearers': dbus.UInt32(1),
        'Manufacturer': dbus.String(p.get('manufacturer', 'Mock Devices')),
        'Model': dbus.String(p.get('model', 'MockModem 3000')),
        'Revision': dbus.String('1.0'),
        'CarrierConfiguration': dbus.String(''),
        'CarrierConfigurationRevision': dbus.String(''),
        'HardwareRevision': dbus.String('A'),
        'DeviceIdentifier': dbus.String('mock0'),
        'Device': dbus.String('/sys/devices/mock0'),
        'Drivers': dbus.Array(['option'], signature='s'),
        'Plugin': dbus.String('generic'),
        'PrimaryPort': dbus.String('ttyUSB2'),
        'Ports': dbus.Array([], signature='(su)'),
        'EquipmentIdentifier': dbus.String('350000000000001'),
        'UnlockRequired': dbus.UInt32(p.get('lock', 1)),
        'UnlockRetries': dbus.Dictionary({}, signature='uu'),
        'State': dbus.Int32(p.get('state', 8)),
        'StateFailedReason': dbus.UInt32(0 if has_sim else 2),
        'AccessTechnologies': dbus.UInt32(0),
        'SignalQuality': dbus.Struct((dbus.UInt32(70), dbus.Boolean(True)), signature='ub'),
        'OwnNumbers': dbus.Array([], signature='s'),
        'PowerState': dbus.UInt32(p.get('power', 3)),
        'SupportedModes': dbus.Array([], signature='(uu)'),
        'CurrentModes': dbus.Struct((dbus.UInt32(0), dbus.UInt32(0)), signature='uu'),
        'SupportedBands': dbus.Array([], signature='u'),
        'CurrentBands': dbus.Array([], signature='u'),
        'SupportedIpFamilies': dbus.UInt32(7),
    }, [('Enable', 'b', '', ''), ('ListBearers', '', 'ao', 'ret = dbus.Array([], signature="o")')])
    modem = objects[MODEM_PATH]
    modem.AddProperties(GPP_IFACE, {
        'Imei': dbus.String('350000000000001'),
        'RegistrationState': dbus.UInt32(p.get('registration', 1)),
        'OperatorCode': dbus.String('26201'),
        'OperatorName': dbus.String('Mock Telecom'),
        'EnabledFacilityLocks': dbus.UInt32(0),
        'SubscriptionState': dbus.UInt32(0),
        'EpsUeModeOperation': dbus.UInt32(0),
        'Pco': dbus.Array([], signature='(ubay)'),
        'InitialEpsBearer': dbus.ObjectPath('/'),
        'InitialEpsBearerSettings': dbus.Dictionary({}, signature='sv'),
    })
    if p.get('messaging', True):
        modem.AddProperties(MESSAGING_IFACE, {
            'Messages': dbus.Array([], signature='o'),
            'SupportedStorages': dbus.Array([dbus.UInt32(1), dbus.UInt32(2)], signature='u'),
            'DefaultStorage': dbus.UInt32(1),
        })
        modem.AddMethods(MESSAGING_IFACE, [
            ('List', '', 'ao', lambda self: self.props[MESSAGING_IFACE]['Messages']),
            ('Create', 'a{sv}', 'o', messaging_create),
            ('Delete', 'o', '', messaging_delete),
        ])
    mock.object_manager_emit_added(MODEM_PATH)


def messages_of(modem):
    return list(modem.props[MESSAGING_IFACE]['Messages'])


def new_sms(mock, props):
    mock.sms_serial += 1
    path = f'{MAIN_OBJ}/SMS/{mock.sms_serial}'
    full = {
        'State': dbus.UInt32(props.get('State', SMS_STATE_RECEIVED)),
        'PduType': dbus.UInt32(props.get('PduType', 1)),
        'Number': dbus.String(props.get('Number', '')),
        'Text': dbus.String(props.get('Text', '')),
        'Data': dbus.ByteArray(bytes(props.get('Data', b''))),
        'SMSC': dbus.String(props.get('SMSC', '+491710760000')),
        'Validity': dbus.Struct((dbus.UInt32(0), dbus.UInt32(0, variant_level=1)), signature='uv'),
        'Class': dbus.Int32(props.get('Class', -1)),
        'TeleserviceId': dbus.UInt32(0),
        'ServiceCategory': dbus.UInt32(0),
        'DeliveryReportRequest': dbus.Boolean(props.get('DeliveryReportRequest', False)),
        'MessageReference': dbus.UInt32(props.get('MessageReference', 0)),
        'Timestamp': dbus.String(props.get('Timestamp', '')),
        'DischargeTimestamp': dbus.String(props.get('DischargeTimestamp', '')),
        'DeliveryState': dbus.UInt32(props.get('DeliveryState', 256)),
        'Storage': dbus.UInt32(props.get('Storage', STORAGE_UNKNOWN)),
    }
    mock.AddObject(path, SMS_IFACE, full, [('Send', '', '', sms_send), ('Store', 'u', '', sms_store)])
    modem = mockobject.objects[MODEM_PATH]
    listed = messages_of(modem) + [dbus.ObjectPath(path)]
    modem.props[MESSAGING_IFACE]['Messages'] = dbus.Array(listed, signature='o')
    return path


def messaging_create(self, props):
    mock = mockobject.objects[MAIN_OBJ]
    if mock.deny:
        raise dbus.exceptions.DBusException('not authorized', name='org.freedesktop.ModemManager1.Error.Core.Unauthorized')
    if 'number' not in props or ('text' not in props and 'data' not in props):
        raise dbus.exceptions.DBusException('missing number or text', name='org.freedesktop.ModemManager1.Error.Core.InvalidArgs')
    path = new_sms(mock, {
        'State': 0, 'PduType': 2, 'Number': props['number'], 'Text': props.get('text', ''),
        'DeliveryReportRequest': props.get('delivery-report-request', False),
        'SMSC': props.get('smsc', ''),
    })
    sms = mockobject.objects[path]
    sms.created_with = dict(props)
    mock.last_create = dict(props)
    self.EmitSignal(MESSAGING_IFACE, 'Added', 'ob', [dbus.ObjectPath(path), False])
    return dbus.ObjectPath(path)


def messaging_delete(self, path):
    objects = mockobject.objects
    mock = objects[MAIN_OBJ]
    if mock.delete_error:
        raise dbus.exceptions.DBusException('refused: ' + mock.delete_error, name=mock.delete_error)
    if path not in objects:
        raise dbus.exceptions.DBusException('no such message', name='org.freedesktop.ModemManager1.Error.Core.NotFound')
    remaining = [p for p in messages_of(self) if p != path]
    self.props[MESSAGING_IFACE]['Messages'] = dbus.Array(remaining, signature='o')
    objects[path].remove_from_connection()
    del objects[path]
    self.EmitSignal(MESSAGING_IFACE, 'Deleted', 'o', [dbus.ObjectPath(path)])


def set_props(obj, iface, props):
    for key, value in props.items():
        obj.props[iface][key] = value
    obj.EmitSignal('org.freedesktop.DBus.Properties', 'PropertiesChanged', 'sa{sv}as',
                   [iface, dbus.Dictionary(props, signature='sv'), dbus.Array([], signature='s')])


def sms_send(self):
    mock = mockobject.objects[MAIN_OBJ]
    if mock.hang_ms > 0:
        time.sleep(mock.hang_ms / 1000.0)
    if mock.remove_after_sends == 0:
        mock.remove_after_sends = -1
        remove_modem(mock)
        raise dbus.exceptions.DBusException('modem went away', name='org.freedesktop.DBus.Error.UnknownObject')
    if mock.remove_after_sends > 0:
        mock.remove_after_sends -= 1
    if mock.fail_sends > 0:
        mock.fail_sends -= 1
        set_props(self, SMS_IFACE, {'State': dbus.UInt32(SMS_STATE_SENDING)})
        set_props(self, SMS_IFACE, {'State': dbus.UInt32(0)})
        raise dbus.exceptions.DBusException('network timeout', name='org.freedesktop.ModemManager1.Error.MessageError.NetworkTimeout')
    set_props(self, SMS_IFACE, {'State': dbus.UInt32(SMS_STATE_SENDING)})
    set_props(self, SMS_IFACE, {'State': dbus.UInt32(SMS_STATE_SENT)})
    mock.reference += 1
    set_props(self, SMS_IFACE, {'MessageReference': dbus.UInt32(mock.reference)})


def sms_store(self, storage):
    if storage == 1 and self.props[SMS_IFACE]['Text'] == 'overflow':
        raise dbus.exceptions.DBusException('memory full', name='org.freedesktop.ModemManager1.Error.MessageError.MemoryFull')
    set_props(self, SMS_IFACE, {'Storage': dbus.UInt32(storage), 'State': dbus.UInt32(SMS_STATE_STORED)})


def remove_modem(mock):
    objects = mockobject.objects
    if MODEM_PATH not in objects:
        return
    mock.object_manager_emit_removed(MODEM_PATH)
    for path in [p for p in list(objects.keys()) if p.startswith(MAIN_OBJ + '/')]:
        objects[path].remove_from_connection()
        del objects[path]


@dbus.service.method(CONTROL_IFACE, in_signature='a{sv}', out_signature='')
def AddModem(self, parameters):
    add_modem(self, parameters)


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='')
def RemoveModem(self):
    remove_modem(self)


@dbus.service.method(CONTROL_IFACE, in_signature='a{sv}b', out_signature='o')
def AddSms(self, props, announce):
    '''Puts a message into the modem's list; with announce, emits Added(path, received=true).'''
    path = new_sms(self, props)
    if announce:
        mockobject.objects[MODEM_PATH].EmitSignal(MESSAGING_IFACE, 'Added', 'ob', [dbus.ObjectPath(path), True])
    return dbus.ObjectPath(path)


@dbus.service.method(CONTROL_IFACE, in_signature='ssa{sv}', out_signature='')
def SetProperties(self, path, iface, props):
    set_props(mockobject.objects[path], iface, props)


@dbus.service.method(CONTROL_IFACE, in_signature='a{sv}', out_signature='')
def SetBehaviour(self, params):
    self.fail_sends = int(params.get('fail_sends', self.fail_sends))
    self.hang_ms = int(params.get('hang_ms', self.hang_ms))
    self.remove_after_sends = int(params.get('remove_after_sends', self.remove_after_sends))
    self.deny = bool(params.get('deny', self.deny))
    self.delete_error = str(params.get('delete_error', self.delete_error))


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='ao')
def MessagePaths(self):
    if MODEM_PATH not in mockobject.objects:
        return dbus.Array([], signature='o')
    return dbus.Array(messages_of(mockobject.objects[MODEM_PATH]), signature='o')


@dbus.service.method(CONTROL_IFACE, in_signature='o', out_signature='a{sv}')
def CreatedWith(self, path):
    return dbus.Dictionary(getattr(mockobject.objects[path], 'created_with', {}), signature='sv')


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='a{sv}')
def LastCreate(self):
    '''The properties the last Messaging.Create was called with.'''
    return dbus.Dictionary(self.last_create, signature='sv')

// Identifiers of the plug-ins and host parts that live in the plug-in container.
#pragma once

namespace HostGuid {
inline constexpr const char* NotifyService = "C986A689-A5F6-4215-84BD-39BA626F1F57";
inline constexpr const char* DeviceMgr = "8772F2BF-3227-4203-AFDD-DBAD1E9D1F98";
inline constexpr const char* AddrBook = "EB7C34BA-E88D-40fd-AEE9-9D6C4114A45D";
inline constexpr const char* CallUI = "58A0343A-93DB-4ea2-92B4-C51589629381";
inline constexpr const char* MainFrame = "D754AE84-535F-4c18-85F8-F154CFE34DDF";
inline constexpr const char* MiniFrame = "D754AE84-535F-4c18-85F8-F154CFE34FFF";
inline constexpr const char* MainToolbar = "D2AB6727-AF80-4ef7-B37E-F217803B85A4";
inline constexpr const char* MainMenu = "FCDC307E-06DC-4dfa-AC83-834D0E306D48";
inline constexpr const char* SmsPlugin = "ED395DF6-E3BA-478e-8AE9-D8A1BF090214";
// The frame's status bar; it shows the unread count when told 0x162.
inline constexpr const char* StatusBar = "881EA87E-882C-4f22-961C-466E0686F707";
}

namespace HostNotify {
enum Code {
    DeviceReady = 0x102,
    PhoneBookChanged = 0x120,
    PhoneBookChanged2 = 0x121,
    PhoneBookChanged3 = 0x122,
    LanguageChanged = 0x140,
    UnreadCountChanged = 0x162,
    ShowSmsPage = 0x201,
    OpenMessage = 0x202,     // to the SMS page: show message param2 of folder param1
    MenuState = 0x203,
    FlightModeOn = 0x240,
    FlightModeOff = 0x241,
    SimAvailable = 0x242,
    SimUnavailable = 0x243,
    DeviceRemoved = 0x1005
};
}

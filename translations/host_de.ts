<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>SMSUIPlugin</name>
    <message>
        <source>IDS_BTN_BROWSE</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>IDS_BTN_CANCEL</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>IDS_BTN_CLOSE</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>IDS_BTN_PLAY</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>IDS_BTN_SAVE</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>IDS_BTN_SENDTO</source>
        <translation>Senden an...</translation>
    </message>
    <message>
        <source>IDS_BTN_STOP</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>IDS_BTN_VIEW</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>IDS_CBX_RECEIPT</source>
        <translation>Zustellbericht anfordern</translation>
    </message>
    <message>
        <source>IDS_CBX_SOUNDALERT</source>
        <translation>Ton bei neuer Nachricht abspielen</translation>
    </message>
    <message>
        <source>IDS_CBX_VISIONALERT</source>
        <translation>Hinweis bei neuer Nachricht anzeigen</translation>
    </message>
    <message>
        <source>IDS_DualModeCard_STC_FULL</source>
        <translation>Der Kartenspeicher ist voll. Neue Nachrichten können erst nach dem Löschen empfangen werden.</translation>
    </message>
    <message>
        <source>IDS_ERROR_CAPTION</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSALL</source>
        <translation>Alle Nachrichten exportieren...</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSSELECT</source>
        <translation>Ausgewählte Nachrichten exportieren...</translation>
    </message>
    <message>
        <source>IDS_GBX_ALERT</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>IDS_GBX_SMSSETTING</source>
        <translation>Kurzmitteilungszentrale</translation>
    </message>
    <message>
        <source>IDS_GBX_SMS_SAVE_MODE</source>
        <translation>Empfangene Nachrichten speichern auf</translation>
    </message>
    <message>
        <source>IDS_LBL_FAILED</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>IDS_LBL_PENDING</source>
        <translation>Ausstehend</translation>
    </message>
    <message>
        <source>IDS_LBL_SUCCESS</source>
        <translation>Zugestellt</translation>
    </message>
    <message>
        <source>IDS_LST_CONTENT</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>IDS_LST_NAME</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>IDS_LST_TEL</source>
        <translation>Nummer</translation>
    </message>
    <message>
        <source>IDS_LST_TIME</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>IDS_MENU_CALL</source>
        <translation>Anrufen&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_MENU_CLEARALL</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>IDS_MENU_COPY2</source>
        <translation>Kopieren nach</translation>
    </message>
    <message>
        <source>IDS_MENU_COPYAll2</source>
        <translation>Alle kopieren nach</translation>
    </message>
    <message>
        <source>IDS_MENU_DELETE</source>
        <translation>Löschen&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_MENU_EDIT</source>
        <translation>Bearbeiten&#x9;Ctrl+E</translation>
    </message>
    <message>
        <source>IDS_MENU_FORWARD</source>
        <translation>Weiterleiten&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVE2</source>
        <translation>Verschieben nach</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVEAll2</source>
        <translation>Alle verschieben nach</translation>
    </message>
    <message>
        <source>IDS_MENU_NEW</source>
        <translation>Neu&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_MENU_RECOVER</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>IDS_MENU_REPLY</source>
        <translation>Antworten&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_MENU_SAVENUMBER</source>
        <translation>Nummer in Kontakten speichern</translation>
    </message>
    <message>
        <source>IDS_MENU_SEARCH</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>IDS_MENU_SEND</source>
        <translation>Senden&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_MENU_VIDEO_CALL</source>
        <translation>Videoanruf</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>IDS_PROMPT_CAPTION</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>IDS_RAD_EMERGENCY</source>
        <translation>Notfall</translation>
    </message>
    <message>
        <source>IDS_RAD_NORMAL</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_PC</source>
        <translation>Diesen Computer</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_SIM</source>
        <translation>%s-Karte</translation>
    </message>
    <message>
        <source>IDS_RAD_URGENT</source>
        <translation>Dringend</translation>
    </message>
    <message>
        <source>IDS_SETTING_NAME</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPFAILURE</source>
        <translation>Die Nachrichten konnten nicht exportiert werden.</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPSUCCESS</source>
        <translation>Die Nachrichten wurden exportiert.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLFAILED</source>
        <translation>Keine Nachricht konnte gesendet werden.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLSUCCESS</source>
        <translation>Alle Nachrichten wurden gesendet.</translation>
    </message>
    <message>
        <source>IDS_STC_COPYINGSMS</source>
        <translation>Nachrichten werden kopiert...</translation>
    </message>
    <message>
        <source>IDS_STC_DELETINGSMS</source>
        <translation>Nachrichten werden gelöscht...</translation>
    </message>
    <message>
        <source>IDS_STC_DEVICESMSFULL</source>
        <translation>Der Gerätespeicher ist voll. Löschen Sie Nachrichten, um neue zu empfangen.</translation>
    </message>
    <message>
        <source>IDS_STC_LOCALSMSFULL</source>
        <translation>Der Nachrichtenspeicher auf diesem Computer ist voll.</translation>
    </message>
    <message>
        <source>IDS_STC_MOVINGSMS</source>
        <translation>Nachrichten werden verschoben...</translation>
    </message>
    <message>
        <source>IDS_STC_NEWMSG</source>
        <translation>Neue Nachricht</translation>
    </message>
    <message>
        <source>IDS_STC_PRIORITY</source>
        <translation>Priorität</translation>
    </message>
    <message>
        <source>IDS_STC_SENDINGSMS</source>
        <translation>Nachrichten werden gesendet...</translation>
    </message>
    <message>
        <source>IDS_STC_SIMSMSFULL</source>
        <translation>Der Speicher der %s-Karte ist voll. Löschen Sie Nachrichten, um neue zu empfangen.</translation>
    </message>
    <message>
        <source>IDS_STC_SMSCENTERNUMBER</source>
        <translation>Nummer der Zentrale:</translation>
    </message>
    <message>
        <source>IDS_STC_SOMEFAILED</source>
        <translation>Einige Nachrichten konnten nicht gesendet werden.</translation>
    </message>
    <message>
        <source>IDS_STC_SOUNDFILE</source>
        <translation>Tondatei:</translation>
    </message>
    <message>
        <source>IDS_STC_VALIDTIME</source>
        <translation>Gültigkeitsdauer:</translation>
    </message>
    <message>
        <source>IDS_STR_ALL_FAILED</source>
        <translation>Der Vorgang ist für alle Nachrichten fehlgeschlagen.</translation>
    </message>
    <message>
        <source>IDS_STR_AUDIOFILENOTEXIST</source>
        <translation>Die Tondatei existiert nicht oder ist keine WAV- oder MIDI-Datei.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERISNULL</source>
        <translation>Es gibt keine Nummer zum Anrufen.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERONLYONE</source>
        <translation>Wählen Sie eine Nachricht mit genau einer Nummer zum Anrufen.</translation>
    </message>
    <message>
        <source>IDS_STR_CANCELLING</source>
        <translation>Wird abgebrochen...</translation>
    </message>
    <message>
        <source>IDS_STR_CENTERNUMBERNULL</source>
        <translation>Geben Sie die Nummer der Zentrale ein.</translation>
    </message>
    <message>
        <source>IDS_STR_CLEARALL</source>
        <translation>Alle Nachrichten in diesem Ordner löschen?</translation>
    </message>
    <message>
        <source>IDS_STR_COPY2</source>
        <translation>Die ausgewählten Nachrichten nach %s kopieren?</translation>
    </message>
    <message>
        <source>IDS_STR_COPYALL2</source>
        <translation>Alle Nachrichten dieses Ordners nach %s kopieren?</translation>
    </message>
    <message>
        <source>IDS_STR_DELETE</source>
        <translation>Die ausgewählten Nachrichten löschen?</translation>
    </message>
    <message>
        <source>IDS_STR_MAKECALLFAILED</source>
        <translation>Der Anruf konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>IDS_STR_MEMORY_IS_FULL</source>
        <translation>%s ist voll.</translation>
    </message>
    <message>
        <source>IDS_STR_MOVE2</source>
        <translation>Die ausgewählten Nachrichten nach %s verschieben?</translation>
    </message>
    <message>
        <source>IDS_STR_MOVEALL2</source>
        <translation>Alle Nachrichten dieses Ordners nach %s verschieben?</translation>
    </message>
    <message>
        <source>IDS_STR_NUMBERINVALID</source>
        <translation>Die Nummer ist ungültig. Verwenden Sie nur Ziffern, +, * und #.</translation>
    </message>
    <message>
        <source>IDS_STR_OPENAUDIOFILEFAILED</source>
        <translation>Die Tondatei konnte nicht abgespielt werden.</translation>
    </message>
    <message>
        <source>IDS_STR_PROMPT</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>IDS_STR_SAVECHANGES</source>
        <translation>Diese Nachricht in den Entwürfen speichern?</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERISNULL</source>
        <translation>Es gibt keine Nummer zum Speichern.</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERONLYONE</source>
        <translation>Wählen Sie eine Nachricht mit genau einer Nummer zum Speichern.</translation>
    </message>
    <message>
        <source>IDS_STR_SMSCOUNT</source>
        <translation>Nachrichten: </translation>
    </message>
    <message>
        <source>IDS_STR_SOME_FAILED</source>
        <translation>Der Vorgang ist für einige Nachrichten fehlgeschlagen.</translation>
    </message>
    <message>
        <source>IDS_TIP_CALL</source>
        <translation>Anrufen&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_TIP_DELETE</source>
        <translation>Löschen&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_TIP_FORWARD</source>
        <translation>Weiterleiten&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_TIP_NEW</source>
        <translation>Neu&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_TIP_REPLY</source>
        <translation>Antworten&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_TIP_SEARCH</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>IDS_TIP_SEND</source>
        <translation>Erneut senden&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_TREE_CBSBOX</source>
        <translation>Cell Broadcast</translation>
    </message>
    <message>
        <source>IDS_TREE_DEVICE</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>IDS_TREE_DINBOX</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>IDS_TREE_DOUTBOX</source>
        <translation>Postausgang</translation>
    </message>
    <message>
        <source>IDS_TREE_LDRAFT</source>
        <translation>Entwürfe</translation>
    </message>
    <message>
        <source>IDS_TREE_LFAVORITE</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>IDS_TREE_LINBOX</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>IDS_TREE_LOCAL</source>
        <translation>Dieser Computer</translation>
    </message>
    <message>
        <source>IDS_TREE_LOUTBOX</source>
        <translation>Postausgang</translation>
    </message>
    <message>
        <source>IDS_TREE_LREPORT</source>
        <translation>Zustellberichte</translation>
    </message>
    <message>
        <source>IDS_TREE_LSENTITEMS</source>
        <translation>Gesendet</translation>
    </message>
    <message>
        <source>IDS_TREE_LTRASH</source>
        <translation>Papierkorb</translation>
    </message>
    <message>
        <source>IDS_TREE_READING_DATA</source>
        <translation> (wird gelesen...)</translation>
    </message>
    <message>
        <source>IDS_TREE_SIM</source>
        <translation>%s-Karte</translation>
    </message>
    <message>
        <source>IDS_TREE_SINBOX</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>IDS_TREE_SOUTBOX</source>
        <translation>Postausgang</translation>
    </message>
    <message>
        <source>IDS_TTL_EDIT</source>
        <translation>Nachricht bearbeiten</translation>
    </message>
    <message>
        <source>IDS_TTL_FORWARD</source>
        <translation>Nachricht weiterleiten</translation>
    </message>
    <message>
        <source>IDS_TTL_NEW</source>
        <translation>Neue Nachricht</translation>
    </message>
    <message>
        <source>IDS_TTL_REPLY</source>
        <translation>Antworten</translation>
    </message>
    <message>
        <source>IDS_TTL_SEND</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_12H</source>
        <translation>12 Stunden</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_1D</source>
        <translation>24 Stunden</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_30D</source>
        <translation>30 Tage</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_MAX</source>
        <translation>maximal (63 Wochen)</translation>
    </message>
</context>
<context>
    <name>XFramePlugin</name>
    <message>
        <source>IDS_APPLY</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>IDS_DEV_CBS</source>
        <translation>Cell Broadcast empfangen</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_DEVICE</source>
        <translation>Gerätespeicher füllen</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_SIM</source>
        <translation>Kartenspeicher füllen</translation>
    </message>
    <message>
        <source>IDS_DEV_FLASH</source>
        <translation>Flash-Nachricht empfangen</translation>
    </message>
    <message>
        <source>IDS_DEV_FLIGHT</source>
        <translation>Flugmodus</translation>
    </message>
    <message>
        <source>IDS_DEV_PLUGGED</source>
        <translation>Gerät anschließen</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE</source>
        <translation>Nachricht empfangen</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE_SIM</source>
        <translation>Nachricht auf der Karte empfangen</translation>
    </message>
    <message>
        <source>IDS_DEV_REMOVED</source>
        <translation>Gerät trennen</translation>
    </message>
    <message>
        <source>IDS_DEV_REPORT</source>
        <translation>Zustellbericht empfangen</translation>
    </message>
    <message>
        <source>IDS_DEV_SEND_FAILS</source>
        <translation>Senden schlägt fehl</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_IN</source>
        <translation>Karte einlegen</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_OUT</source>
        <translation>Karte entfernen</translation>
    </message>
    <message>
        <source>IDS_FRAME_DEVICE</source>
        <translation>&amp;Gerät</translation>
    </message>
    <message>
        <source>IDS_FRAME_FILE</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>IDS_FRAME_NO_PLUGIN</source>
        <translation>Es konnte kein Seiten-Plug-in geladen werden.</translation>
    </message>
    <message>
        <source>IDS_FRAME_QUIT</source>
        <translation>&amp;Beenden&#x9;Ctrl+Q</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_NOT_SAVED</source>
        <translation>Nicht alle Einstellungen von „%1“ konnten gespeichert werden. Prüfen Sie das Gerät und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_INVALID</source>
        <translation>Einige Einstellungen sind ungültig. Korrigieren Sie sie vor dem Schließen.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_TITLE</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_TAB</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NOTIFY</source>
        <translation>Bei neuen Nachrichten eine Desktop-Benachrichtigung zeigen</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NO_SERVICE</source>
        <translation>Dieser Desktop bietet keinen Benachrichtigungsdienst.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SMS_PAGE</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>IDS_FRAME_TITLE</source>
        <translation>Mobilfunk-Manager</translation>
    </message>
    <message>
        <source>IDS_FRAME_UNREAD</source>
        <translation>Ungelesene Nachrichten: %1</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_NUMBER</source>
        <translation>Nummer des Absenders:</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_TEXT</source>
        <translation>Text der Nachricht:</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE_MISSING</source>
        <translation>Die Sprachdatei für „%1“ fehlt</translation>
    </message>
    <message>
        <source>IDS_FRAME_CAN_SEND</source>
        <translation>Nachrichten können gesendet werden</translation>
    </message>
    <message>
        <source>IDS_FRAME_CANNOT_SEND</source>
        <translation>Nachrichten können jetzt nicht gesendet werden</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_CLOSED</source>
        <translation>Das Gerät wurde entfernt; die Einstellungen wurden ohne Speichern geschlossen.</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_TITLE</source>
        <translation>Senden an</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_SEARCH</source>
        <translation>Kontakte durchsuchen</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_NUMBERS</source>
        <translation>Weitere Nummern (getrennt durch ; oder ,):</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_INVALID</source>
        <translation>Dies sind keine Telefonnummern und wurden weggelassen: %1</translation>
    </message>
    <message>
        <source>IDS_FRAME_SAVE_NUMBER_FAILED</source>
        <translation>Die Nummer %1 konnte nicht im Telefonbuch gespeichert werden. Versuchen Sie es erneut, wenn das Gerät verbunden ist.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_TITLE</source>
        <translation>Nachrichtenspeicher</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_READONLY</source>
        <translation>Der Nachrichtenspeicher kann nur gelesen werden: Änderungen an Nachrichten können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_NONE</source>
        <translation>Es konnte kein Nachrichtenspeicher geöffnet werden: Nachrichten können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>IDS_TIP_MORE</source>
        <translation>Weitere Befehle</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>SMSUIPlugin</name>
    <message>
        <source>IDS_BTN_BROWSE</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>IDS_BTN_CANCEL</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_BTN_CLOSE</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>IDS_BTN_PLAY</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>IDS_BTN_SAVE</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>IDS_BTN_SENDTO</source>
        <translation>Send to...</translation>
    </message>
    <message>
        <source>IDS_BTN_STOP</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>IDS_BTN_VIEW</source>
        <translation>View</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_CBX_RECEIPT</source>
        <translation>Request delivery report</translation>
    </message>
    <message>
        <source>IDS_CBX_SOUNDALERT</source>
        <translation>Play a sound when a message arrives</translation>
    </message>
    <message>
        <source>IDS_CBX_VISIONALERT</source>
        <translation>Show a popup when a message arrives</translation>
    </message>
    <message>
        <source>IDS_DualModeCard_STC_FULL</source>
        <translation>The card memory is full. New messages cannot be received until you delete some.</translation>
    </message>
    <message>
        <source>IDS_ERROR_CAPTION</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSALL</source>
        <translation>Export all messages...</translation>
    </message>
    <message>
        <source>IDS_EXPORT_SMSSELECT</source>
        <translation>Export selected messages...</translation>
    </message>
    <message>
        <source>IDS_GBX_ALERT</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>IDS_GBX_SMSSETTING</source>
        <translation>Message centre</translation>
    </message>
    <message>
        <source>IDS_GBX_SMS_SAVE_MODE</source>
        <translation>Save received messages on</translation>
    </message>
    <message>
        <source>IDS_LBL_FAILED</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>IDS_LBL_PENDING</source>
        <translation>Pending</translation>
    </message>
    <message>
        <source>IDS_LBL_SUCCESS</source>
        <translation>Delivered</translation>
    </message>
    <message>
        <source>IDS_LST_CONTENT</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>IDS_LST_NAME</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>IDS_LST_TEL</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>IDS_LST_TIME</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>IDS_MENU_CALL</source>
        <translation>Call&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_MENU_CLEARALL</source>
        <translation>Delete all</translation>
    </message>
    <message>
        <source>IDS_MENU_COPY2</source>
        <translation>Copy to</translation>
    </message>
    <message>
        <source>IDS_MENU_COPYAll2</source>
        <translation>Copy all to</translation>
    </message>
    <message>
        <source>IDS_MENU_DELETE</source>
        <translation>Delete&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_MENU_EDIT</source>
        <translation>Edit&#x9;Ctrl+E</translation>
    </message>
    <message>
        <source>IDS_MENU_FORWARD</source>
        <translation>Forward&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVE2</source>
        <translation>Move to</translation>
    </message>
    <message>
        <source>IDS_MENU_MOVEAll2</source>
        <translation>Move all to</translation>
    </message>
    <message>
        <source>IDS_MENU_NEW</source>
        <translation>New&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_MENU_RECOVER</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>IDS_MENU_REPLY</source>
        <translation>Reply&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_MENU_SAVENUMBER</source>
        <translation>Save number to contacts</translation>
    </message>
    <message>
        <source>IDS_MENU_SEARCH</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>IDS_MENU_SEND</source>
        <translation>Send&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_MENU_VIDEO_CALL</source>
        <translation>Video call</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>No</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>IDS_PROMPT_CAPTION</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>IDS_RAD_EMERGENCY</source>
        <translation>Emergency</translation>
    </message>
    <message>
        <source>IDS_RAD_NORMAL</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_PC</source>
        <translation>This computer</translation>
    </message>
    <message>
        <source>IDS_RAD_SMS_SAVE_SIM</source>
        <translation>%s card</translation>
    </message>
    <message>
        <source>IDS_RAD_URGENT</source>
        <translation>Urgent</translation>
    </message>
    <message>
        <source>IDS_SETTING_NAME</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPFAILURE</source>
        <translation>The messages could not be exported.</translation>
    </message>
    <message>
        <source>IDS_SMS_BACKUPSUCCESS</source>
        <translation>The messages were exported.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLFAILED</source>
        <translation>No message could be sent.</translation>
    </message>
    <message>
        <source>IDS_STC_ALLSUCCESS</source>
        <translation>All messages were sent.</translation>
    </message>
    <message>
        <source>IDS_STC_COPYINGSMS</source>
        <translation>Copying messages...</translation>
    </message>
    <message>
        <source>IDS_STC_DELETINGSMS</source>
        <translation>Deleting messages...</translation>
    </message>
    <message>
        <source>IDS_STC_DEVICESMSFULL</source>
        <translation>The device memory is full. Delete messages to receive new ones.</translation>
    </message>
    <message>
        <source>IDS_STC_LOCALSMSFULL</source>
        <translation>The message storage on this computer is full.</translation>
    </message>
    <message>
        <source>IDS_STC_MOVINGSMS</source>
        <translation>Moving messages...</translation>
    </message>
    <message>
        <source>IDS_STC_NEWMSG</source>
        <translation>New message</translation>
    </message>
    <message>
        <source>IDS_STC_PRIORITY</source>
        <translation>Priority</translation>
    </message>
    <message>
        <source>IDS_STC_SENDINGSMS</source>
        <translation>Sending messages...</translation>
    </message>
    <message>
        <source>IDS_STC_SIMSMSFULL</source>
        <translation>The %s card memory is full. Delete messages to receive new ones.</translation>
    </message>
    <message>
        <source>IDS_STC_SMSCENTERNUMBER</source>
        <translation>Message centre number:</translation>
    </message>
    <message>
        <source>IDS_STC_SOMEFAILED</source>
        <translation>Some messages could not be sent.</translation>
    </message>
    <message>
        <source>IDS_STC_SOUNDFILE</source>
        <translation>Sound file:</translation>
    </message>
    <message>
        <source>IDS_STC_VALIDTIME</source>
        <translation>Validity period:</translation>
    </message>
    <message>
        <source>IDS_STR_ALL_FAILED</source>
        <translation>The operation failed for every message.</translation>
    </message>
    <message>
        <source>IDS_STR_AUDIOFILENOTEXIST</source>
        <translation>The sound file does not exist or is not a WAV or MIDI file.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERISNULL</source>
        <translation>There is no number to call.</translation>
    </message>
    <message>
        <source>IDS_STR_CALLNUMBERONLYONE</source>
        <translation>Select a message with exactly one number to call.</translation>
    </message>
    <message>
        <source>IDS_STR_CANCELLING</source>
        <translation>Cancelling...</translation>
    </message>
    <message>
        <source>IDS_STR_CENTERNUMBERNULL</source>
        <translation>Enter the message centre number.</translation>
    </message>
    <message>
        <source>IDS_STR_CLEARALL</source>
        <translation>Delete all messages in this folder?</translation>
    </message>
    <message>
        <source>IDS_STR_COPY2</source>
        <translation>Copy the selected messages to %s?</translation>
    </message>
    <message>
        <source>IDS_STR_COPYALL2</source>
        <translation>Copy all messages of this folder to %s?</translation>
    </message>
    <message>
        <source>IDS_STR_DELETE</source>
        <translation>Delete the selected messages?</translation>
    </message>
    <message>
        <source>IDS_STR_MAKECALLFAILED</source>
        <translation>The call could not be started.</translation>
    </message>
    <message>
        <source>IDS_STR_MEMORY_IS_FULL</source>
        <translation>%s is full.</translation>
    </message>
    <message>
        <source>IDS_STR_MOVE2</source>
        <translation>Move the selected messages to %s?</translation>
    </message>
    <message>
        <source>IDS_STR_MOVEALL2</source>
        <translation>Move all messages of this folder to %s?</translation>
    </message>
    <message>
        <source>IDS_STR_NUMBERINVALID</source>
        <translation>The number is not valid. Use only digits, +, * and #.</translation>
    </message>
    <message>
        <source>IDS_STR_OPENAUDIOFILEFAILED</source>
        <translation>The sound file could not be played.</translation>
    </message>
    <message>
        <source>IDS_STR_PROMPT</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>IDS_STR_SAVECHANGES</source>
        <translation>Save this message to Drafts?</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERISNULL</source>
        <translation>There is no number to save.</translation>
    </message>
    <message>
        <source>IDS_STR_SAVENUMBERONLYONE</source>
        <translation>Select a message with exactly one number to save.</translation>
    </message>
    <message>
        <source>IDS_STR_SMSCOUNT</source>
        <translation>Messages: </translation>
    </message>
    <message>
        <source>IDS_STR_SOME_FAILED</source>
        <translation>The operation failed for some messages.</translation>
    </message>
    <message>
        <source>IDS_TIP_CALL</source>
        <translation>Call&#x9;Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>IDS_TIP_DELETE</source>
        <translation>Delete&#x9;Del</translation>
    </message>
    <message>
        <source>IDS_TIP_FORWARD</source>
        <translation>Forward&#x9;Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>IDS_TIP_NEW</source>
        <translation>New&#x9;Ctrl+N</translation>
    </message>
    <message>
        <source>IDS_TIP_REPLY</source>
        <translation>Reply&#x9;Ctrl+R</translation>
    </message>
    <message>
        <source>IDS_TIP_SEARCH</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>IDS_TIP_SEND</source>
        <translation>Send again&#x9;Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>IDS_TREE_CBSBOX</source>
        <translation>Cell broadcasts</translation>
    </message>
    <message>
        <source>IDS_TREE_DEVICE</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>IDS_TREE_DINBOX</source>
        <translation>Inbox</translation>
    </message>
    <message>
        <source>IDS_TREE_DOUTBOX</source>
        <translation>Outbox</translation>
    </message>
    <message>
        <source>IDS_TREE_LDRAFT</source>
        <translation>Drafts</translation>
    </message>
    <message>
        <source>IDS_TREE_LFAVORITE</source>
        <translation>Favorites</translation>
    </message>
    <message>
        <source>IDS_TREE_LINBOX</source>
        <translation>Inbox</translation>
    </message>
    <message>
        <source>IDS_TREE_LOCAL</source>
        <translation>This computer</translation>
    </message>
    <message>
        <source>IDS_TREE_LOUTBOX</source>
        <translation>Outbox</translation>
    </message>
    <message>
        <source>IDS_TREE_LREPORT</source>
        <translation>Delivery reports</translation>
    </message>
    <message>
        <source>IDS_TREE_LSENTITEMS</source>
        <translation>Sent items</translation>
    </message>
    <message>
        <source>IDS_TREE_LTRASH</source>
        <translation>Trash</translation>
    </message>
    <message>
        <source>IDS_TREE_READING_DATA</source>
        <translation> (reading...)</translation>
    </message>
    <message>
        <source>IDS_TREE_SIM</source>
        <translation>%s card</translation>
    </message>
    <message>
        <source>IDS_TREE_SINBOX</source>
        <translation>Inbox</translation>
    </message>
    <message>
        <source>IDS_TREE_SOUTBOX</source>
        <translation>Outbox</translation>
    </message>
    <message>
        <source>IDS_TTL_EDIT</source>
        <translation>Edit message</translation>
    </message>
    <message>
        <source>IDS_TTL_FORWARD</source>
        <translation>Forward message</translation>
    </message>
    <message>
        <source>IDS_TTL_NEW</source>
        <translation>New message</translation>
    </message>
    <message>
        <source>IDS_TTL_REPLY</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>IDS_TTL_SEND</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_12H</source>
        <translation>12 hours</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_1D</source>
        <translation>24 hours</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_30D</source>
        <translation>30 days</translation>
    </message>
    <message>
        <source>IDS_VALIDITY_MAX</source>
        <translation>maximum (63 weeks)</translation>
    </message>
</context>
<context>
    <name>XFramePlugin</name>
    <message>
        <source>IDS_APPLY</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>IDS_CANCEL</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>IDS_DEV_CBS</source>
        <translation>Receive a cell broadcast</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_DEVICE</source>
        <translation>Fill the device memory</translation>
    </message>
    <message>
        <source>IDS_DEV_FILL_SIM</source>
        <translation>Fill the card memory</translation>
    </message>
    <message>
        <source>IDS_DEV_FLASH</source>
        <translation>Receive a flash message</translation>
    </message>
    <message>
        <source>IDS_DEV_FLIGHT</source>
        <translation>Flight mode</translation>
    </message>
    <message>
        <source>IDS_DEV_PLUGGED</source>
        <translation>Plug the device in</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE</source>
        <translation>Receive a message</translation>
    </message>
    <message>
        <source>IDS_DEV_RECEIVE_SIM</source>
        <translation>Receive a message on the card</translation>
    </message>
    <message>
        <source>IDS_DEV_REMOVED</source>
        <translation>Unplug the device</translation>
    </message>
    <message>
        <source>IDS_DEV_REPORT</source>
        <translation>Receive a delivery report</translation>
    </message>
    <message>
        <source>IDS_DEV_SEND_FAILS</source>
        <translation>Sending fails</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_IN</source>
        <translation>Insert the card</translation>
    </message>
    <message>
        <source>IDS_DEV_SIM_OUT</source>
        <translation>Remove the card</translation>
    </message>
    <message>
        <source>IDS_FRAME_DEVICE</source>
        <translation>&amp;Device</translation>
    </message>
    <message>
        <source>IDS_FRAME_FILE</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>IDS_FRAME_NO_PLUGIN</source>
        <translation>No page plug-in could be loaded.</translation>
    </message>
    <message>
        <source>IDS_FRAME_QUIT</source>
        <translation>&amp;Quit&#x9;Ctrl+Q</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_NOT_SAVED</source>
        <translation>Not every setting of &quot;%1&quot; could be saved. Check the device and try again.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_INVALID</source>
        <translation>Some settings are not valid. Correct them before closing.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_TITLE</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_TAB</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NOTIFY</source>
        <translation>Show a desktop notification when a message arrives</translation>
    </message>
    <message>
        <source>IDS_FRAME_DESKTOP_NO_SERVICE</source>
        <translation>This desktop offers no notification service.</translation>
    </message>
    <message>
        <source>IDS_FRAME_SMS_PAGE</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>IDS_FRAME_TITLE</source>
        <translation>Mobile Broadband Manager</translation>
    </message>
    <message>
        <source>IDS_FRAME_UNREAD</source>
        <translation>Unread messages: %1</translation>
    </message>
    <message>
        <source>IDS_NO</source>
        <translation>No</translation>
    </message>
    <message>
        <source>IDS_OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>IDS_YES</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_NUMBER</source>
        <translation>Sender&apos;s number:</translation>
    </message>
    <message>
        <source>IDS_FRAME_ASK_TEXT</source>
        <translation>Text of the message:</translation>
    </message>
    <message>
        <source>IDS_FRAME_LANGUAGE_MISSING</source>
        <translation>Language file for &apos;%1&apos; is missing</translation>
    </message>
    <message>
        <source>IDS_FRAME_CAN_SEND</source>
        <translation>Messages can be sent</translation>
    </message>
    <message>
        <source>IDS_FRAME_CANNOT_SEND</source>
        <translation>Messages cannot be sent now</translation>
    </message>
    <message>
        <source>IDS_FRAME_SETTINGS_CLOSED</source>
        <translation>The device was removed; the settings were closed without saving.</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_TITLE</source>
        <translation>Send to</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_SEARCH</source>
        <translation>Search contacts</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_NUMBERS</source>
        <translation>Other numbers (separated by ; or ,):</translation>
    </message>
    <message>
        <source>IDS_FRAME_PICK_INVALID</source>
        <translation>These are not phone numbers and were left out: %1</translation>
    </message>
    <message>
        <source>IDS_FRAME_SAVE_NUMBER_FAILED</source>
        <translation>The number %1 could not be saved in the phone book. Try again when the device is connected.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_TITLE</source>
        <translation>Message store</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_READONLY</source>
        <translation>The message store can only be read: changes to messages cannot be stored.</translation>
    </message>
    <message>
        <source>IDS_FRAME_STORE_NONE</source>
        <translation>No message store could be opened: messages cannot be stored.</translation>
    </message>
    <message>
        <source>IDS_TIP_MORE</source>
        <translation>More commands</translation>
    </message>
</context>
</TS>
